#include "platform/BrowserLauncher.h"
#include "settings/OptionsStore.h"

#include "support/RecordingDdeBridge.h"
#include "support/RecordingDesktopOpen.h"
#include "support/RecordingMessageSink.h"
#include "support/RecordingProcessLauncher.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Words = std::vector<std::string>;

// A program folder and a registry file of the test's own, with fakes for everything the
// launcher starts.
class BrowserFixture : public testing::Test {
  protected:
    void Choose(int browser, const std::string& browserPath = "") {
        OptionsStore options = settings;
        options.SetBrowser(browser);
        options.SetBrowserPath(browserPath);
    }
    void Register(const std::string& section, const std::string& command) {
        writeFileBytes(folder.file("registry.ini"), "[" + section + "]\r\n@=" + command + "\r\n");
    }

    TempDir folder;
    const ScopedEnvironment registry{"VANTORELL_REGISTRY", folder.file("registry.ini")};
    RecordingDdeBridge dde;
    RecordingProcessLauncher processes;
    RecordingDesktopOpen desktop;
    RecordingMessageSink messages;
    OptionsStore settings{folder.path()};
    BrowserLauncher launcher{settings, dde, processes, desktop, messages};
};

const char* const kAppPaths = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
                              "App Paths\\";

} // namespace

TEST_F(BrowserFixture, AnsweringBrowserGetsTheItemOverDde) {
    const std::vector<std::pair<int, std::string>> services = {
        {BrowserInternetExplorer, "IExplore"},
        {BrowserNetscape, "NETSCAPE"},
        {BrowserOpera, "Opera"},
        {BrowserAmericaOnline, "Aol"},
        {BrowserOther, ""},
        {3, ""},
    };
    for (const auto& [browser, service] : services) {
        Choose(browser);
        launcher.OpenInBrowser("http://a.example/x", false);
        ASSERT_FALSE(dde.conversations.empty());
        EXPECT_EQ(dde.conversations.back().service, service) << browser;
        EXPECT_EQ(dde.conversations.back().topic, "WWW_OpenURL");
        EXPECT_EQ(dde.conversations.back().timeoutMs, 1000);
    }
    launcher.OpenInBrowser("http://a.example/say?q=\"hi\"", false);
    EXPECT_EQ(dde.conversations.back().item,
              "\"http://a.example/say?q=\\\"hi\\\"\",,0xFFFFFFFF,0,,,");
    launcher.OpenInBrowser("http://a.example/", true);
    EXPECT_EQ(dde.conversations.back().item, "\"http://a.example/\",,0,0,,,");
    EXPECT_TRUE(processes.started.empty());
    EXPECT_TRUE(desktop.opened.empty());
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(BrowserFixture, RegisteredBrowsersRunWithTheirCommandLineForms) {
    dde.answers = false;
    Choose(BrowserInternetExplorer);
    Register("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\"
             "IEXPLORE.EXE",
             "/opt/ie/iexplore");
    launcher.OpenInBrowser("http://a.example/100%u", true);

    // Netscape's registered command line is cut at its first blank.
    Choose(BrowserNetscape);
    Register("HKEY_CLASSES_ROOT\\NetscapeMarkup\\shell\\open\\command",
             "/opt/netscape/netscape -remote \"%1\"");
    launcher.OpenInBrowser("http://b.example/a b", false);

    Choose(BrowserOpera);
    Register(std::string(kAppPaths) + "Opera.exe", "/opt/opera/opera");
    launcher.OpenInBrowser("http://c.example/", false);

    Choose(BrowserAmericaOnline);
    Register(std::string(kAppPaths) + "AOL.EXE", "/opt/aol/aol");
    launcher.OpenInBrowser("http://d.example/", false);

    ASSERT_EQ(processes.started.size(), 4u);
    EXPECT_EQ(processes.started[0].program, "/opt/ie/iexplore");
    // A "%u" inside the address is left alone.
    EXPECT_EQ(processes.started[0].arguments, (Words{"-nohome", "http://a.example/100%u"}));
    EXPECT_EQ(processes.started[1].program, "/opt/netscape/netscape");
    // The quotes of the form keep a blank of the address inside one argument.
    EXPECT_EQ(processes.started[1].arguments, (Words{"-h", "http://b.example/a b"}));
    EXPECT_EQ(processes.started[2].arguments, (Words{"/nowin", "http://c.example/"}));
    EXPECT_EQ(processes.started[3].program, "/opt/aol/aol");
    EXPECT_EQ(processes.started[3].arguments, (Words{"-u", "http://d.example/"}));
    EXPECT_TRUE(desktop.opened.empty());
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(BrowserFixture, UnregisteredBrowsersFallBackOrReportThePathError) {
    dde.answers = false;
    // The default choice with nothing registered opens with the desktop's handler.
    Choose(BrowserInternetExplorer);
    launcher.OpenInBrowser("http://a.example/", false);
    EXPECT_EQ(desktop.opened, (Words{"http://a.example/"}));
    EXPECT_TRUE(messages.messages.empty());
    // Asking for the missing key left it behind, empty, as the registry does.
    EXPECT_NE(readFileBytes(folder.file("registry.ini")).find("App Paths\\IEXPLORE.EXE]"),
              std::string::npos);

    desktop.opens = false;
    launcher.OpenInBrowser("http://a.example/", false);
    Choose(BrowserOpera);
    desktop.opens = true;
    launcher.OpenInBrowser("http://a.example/", false);
    ASSERT_EQ(messages.messages.size(), 2u);
    for (const RecordingMessageSink::Message& message : messages.messages) {
        EXPECT_EQ(message.caption, "Warning");
        EXPECT_EQ(message.text, "Path error of browser.");
    }
    EXPECT_EQ(desktop.opened.size(), 2u);
    EXPECT_TRUE(processes.started.empty());
}

TEST_F(BrowserFixture, OtherBrowserRunsItsPathAndTheAddress) {
    dde.answers = false;
    // The path is one program even with blanks in it.
    Choose(BrowserOther, "/opt/My Browser/browse");
    launcher.OpenInBrowser("http://a.example/?q=1", false);
    // An empty path leaves a command of one blank and the address, which runs nothing; a choice
    // outside the table has no command at all. Both stay silent.
    Choose(BrowserOther, "");
    launcher.OpenInBrowser("http://b.example/", false);
    Choose(3);
    launcher.OpenInBrowser("http://c.example/", false);
    // Without DDE at all nothing happens.
    dde.available = false;
    const std::size_t conversations = dde.conversations.size();
    Choose(BrowserOther, "/usr/bin/firefox");
    launcher.OpenInBrowser("http://a.example/", false);
    EXPECT_EQ(dde.conversations.size(), conversations);

    ASSERT_EQ(processes.started.size(), 1u);
    EXPECT_EQ(processes.started[0].program, "/opt/My Browser/browse");
    EXPECT_EQ(processes.started[0].arguments, (Words{"http://a.example/?q=1"}));
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(desktop.opened.empty());
}

TEST(BrowserCommand, SplitsAtBlanksOutsideQuotes) {
    EXPECT_EQ(BrowserLauncher::SplitCommand("  a  \"b c\"d \"\" e\t"),
              (Words{"a", "b cd", "", "e"}));
    EXPECT_EQ(BrowserLauncher::Command("/x", BrowserInternetExplorer, "U"), "/x -nohome \"U\"");
    EXPECT_EQ(BrowserLauncher::Command("", BrowserOther, "U"), " U");
    const std::pair<std::string_view, Words> paths[] = {
        {"\"/a b/c\"", Words{"/a b/c", "U"}},
        {"\"\"", Words{}}, // quotes around nothing name no program
        {"\"", Words{"\"", "U"}},
        {"", Words{}},
    };
    for (const auto& [path, words] : paths) {
        EXPECT_EQ(BrowserLauncher::CommandWords(path, BrowserOther, "U"), words) << path;
    }
}
