#include "app/GuiFixture.h"

#include "app/AboutDialog.h"
#include "app/AppCommands.h"
#include "app/CHyperLink.h"
#include "app/HelpPages.h"

#include "support/RecordingProcessLauncher.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

TEST(Help, MenuCommandsOpenTheHelpPageAndTheMakersPages) {
    GuiFixture f;
    f.AddEngine("alpha");
    CMainFrame& frame = f.Frame();
    f.desktop.opens = false;
    for (const int id : {kCmdHelpIndex, kCmdFeedback, kCmdSuggestEngine, kCmdTellFriend,
                         kCmdCheckUpdates, kCmdHomePage}) {
        frame.DoCommand(id);
    }
    EXPECT_EQ(f.desktop.opened,
              (std::vector<std::string>{f.app.file("Vantorell2001.html"), HelpPages::kFeedbackPage,
                                        HelpPages::kSuggestEnginePage, HelpPages::kTellFriendPage,
                                        HelpPages::kUpdatePage, HelpPages::kHomePage}));
    // The menu's requests report nothing when they fail.
    EXPECT_TRUE(f.messages.messages.empty());

    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* about = dynamic_cast<AboutDialog*>(QApplication::activeModalWidget());
        if (about == nullptr) {
            return;
        }
        shown = true;
        EXPECT_EQ(about->windowTitle(), "About Vantorell 2001");
        EXPECT_EQ(about->Link().text(), HelpPages::kHomePage);
        EXPECT_TRUE(about->Link().isVisible()) << "the link shows with its dialog";
        EXPECT_EQ(about->Link().Address(), HelpPages::kHomePage);
        EXPECT_EQ(about->Link().LinkStyle(), CHyperLink::kDefaultStyle | CHyperLink::kUseHover);
        about->accept();
    });
    frame.DoCommand(kCmdAbout);
    EXPECT_TRUE(shown);
}

TEST(Help, HyperLinkColoursInputAndFailures) {
    RecordingDesktopOpen desktop;
    RecordingProcessLauncher processes;
    RecordingMessageSink messages;
    QWidget window;
    window.resize(300, 100);
    CHyperLink link(desktop, processes, messages, &window);
    link.setText("http://a.example/");
    link.Attach();
    link.move(10, 10);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The window gives its only focusable child the focus, which arms the link.
    EXPECT_EQ(link.TextColour(), CHyperLink::kFocusColour);
    link.clearFocus();
    EXPECT_EQ(link.Address(), "http://a.example/");
    EXPECT_EQ(link.toolTip(), "http://a.example/");
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.TextColour(), CHyperLink::kLinkColour);

    // Removing and adding the same flag changes nothing.
    EXPECT_FALSE(link.ModifyLinkStyle(CHyperLink::kUseHover, CHyperLink::kUseHover));
    EXPECT_EQ(link.LinkStyle(), CHyperLink::kDefaultStyle);
    QTest::mouseMove(&link, link.rect().center());
    EXPECT_EQ(link.TextColour(), CHyperLink::kLinkColour);
    EXPECT_TRUE(link.ModifyLinkStyle(0, CHyperLink::kUseHover));
    QTest::mouseMove(&link, link.rect().center() + QPoint(1, 0));
    EXPECT_EQ(link.TextColour(), CHyperLink::kHoverColour);

    // A click opens the link and takes the focus; the focus colour outranks visited.
    QTest::mouseClick(&link, Qt::LeftButton, {}, link.rect().center());
    EXPECT_EQ(desktop.opened, std::vector<std::string>{"http://a.example/"});
    EXPECT_TRUE(link.IsVisited());
    QTest::mouseMove(&window, QPoint(250, 90));
    EXPECT_TRUE(link.hasFocus());
    EXPECT_EQ(link.TextColour(), CHyperLink::kFocusColour);
    link.clearFocus();
    EXPECT_EQ(link.TextColour(), CHyperLink::kVisitedColour);

    // The space bar opens it too; a failure names the reason.
    desktop.opens = false;
    link.setFocus();
    QTest::keyClick(&link, Qt::Key_Space);
    EXPECT_EQ(desktop.opened.size(), 2u);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Can't open link:\n\nThere is no application associated\n"
                                         "with the given filename extension.");
    EXPECT_EQ(CHyperLink::FailureMessage(99), "Can't open link:\n\nUnknown Error (99) occurred.");

    // Without the desktop's handler, the program registered for ".htm" files opens it.
    writeFileBytes(std::getenv("VANTORELL_REGISTRY"),
                   "[HKEY_CLASSES_ROOT\\.htm]\n@=webpage\n"
                   "[HKEY_CLASSES_ROOT\\webpage\\shell\\open\\command]\n"
                   "@=\"/opt/web browser/run\" -new \"%1\" -x %1\n");
    QTest::keyClick(&link, Qt::Key_Space);
    ASSERT_EQ(processes.started.size(), 1u);
    EXPECT_EQ(processes.started[0].program, "/opt/web browser/run");
    EXPECT_EQ(processes.started[0].arguments,
              (std::vector<std::string>{"-new", "http://a.example/"}));
    EXPECT_EQ(messages.messages.size(), 1u);
    std::filesystem::remove(std::getenv("VANTORELL_REGISTRY"));
}
