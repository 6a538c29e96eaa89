#include "app/GuiFixture.h"

#include "app/AppCommands.h"
#include "app/CMarovaneProView.h"
#include "app/FindDialog.h"
#include "app/RefineDialog.h"
#include "model/ResultList.h"
#include "results/CURLCheck.h"
#include "search/SearchSession.h"

#include "support/EventLoopWait.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

constexpr int kChecksLimitMs = 10000;

// A window showing a results file of rows; link checks end with the test.
class RowsFixture : public GuiFixture {
  public:
    explicit RowsFixture(const std::vector<Texts>& rows) {
        OpenRows(rows);
    }
    ~RowsFixture() {
        EXPECT_TRUE(CURLCheck::WaitForAllEnded(kChecksLimitMs)) << "a link check outlived the test";
    }

    // The session list's titles and summaries, in item order.
    Texts Listed(bool summaries = false) {
        const ResultList& results = Frame().Session().Results();
        Texts texts;
        for (int32_t index = 0; index < results.Count(); ++index) {
            texts.push_back(summaries ? results.Get(index)->summary.str()
                                      : results.Get(index)->title.str());
        }
        return texts;
    }
    std::vector<int> States() {
        std::vector<int> states;
        for (int item = 0; item < Control().GetItemCount(); ++item) {
            states.push_back(View().StateOf(item));
        }
        return states;
    }
    bool WaitForChecks() {
        const LinkCheckManager& checks = View().LinkChecks();
        return runEventsUntil([&] { return checks.Running() == 0 && checks.Waiting() == 0; },
                              kChecksLimitMs);
    }
    std::string LastMessage() {
        return messages.messages.empty() ? std::string() : messages.messages.back().text;
    }
};

// Link check answers by path: /ok valid, /gone invalid, /slow invalid but late, others a
// redirection.
FixtureReply LinkAnswer(const std::string& request) {
    FixtureReply reply;
    if (request.find("/ok") != std::string::npos) {
        reply.bytes = "HTTP/1.0 200 OK\r\n\r\n";
    } else if (request.find("/gone") != std::string::npos) {
        reply.bytes = "HTTP/1.1 404 Not Found\r\n\r\n";
    } else if (request.find("/slow") != std::string::npos) {
        reply.delay = std::chrono::milliseconds(700);
        reply.bytes = "HTTP/1.1 404 Not Found\r\n\r\n";
    } else {
        reply.bytes = "HTTP/1.1 301 Moved Permanently\r\n\r\n";
    }
    return reply;
}

} // namespace

// Deletes (the rules are the core's) keep the rows, the session list and the previews in step.
TEST(RefineCommandsView, DeletesKeepRowsResultsAndSummariesTogether) {
    RowsFixture f({{"A", "http://x/1", "sA1", "E"},
                   {"B", "http://x/2", "sB", "E"},
                   {"A", "http://x/3", "sA3", "E"},
                   {"C", "http://x/3", "sC", "E"},
                   {"A", "http://x/5", "sA5", "E"}});
    f.Frame().DoCommand(kCmdDeleteDuplicateTitles);
    EXPECT_EQ(f.LastMessage(), "Deleted number of repeated Titles: 2");
    EXPECT_EQ(f.Column(1), (Texts{"B", "C", "A"}));
    EXPECT_EQ(f.Listed(), (Texts{"B", "C", "A"}));
    EXPECT_EQ(f.Listed(true), (Texts{"sB", "sC", "sA5"}));
    EXPECT_EQ(f.View().OwnResults().Count(), 3);

    // On a sorted view Delete removes the row clicked, and the row after it keeps its summary.
    f.Frame().DoCommand(kCmdSortTitle);
    ASSERT_EQ(f.Column(1), (Texts{"A", "B", "C"}));
    f.ClickRow(1);
    f.Frame().DoCommand(kCmdDelete);
    EXPECT_EQ(f.Column(1), (Texts{"A", "C"}));
    EXPECT_EQ(f.Listed(), (Texts{"C", "A"}));
    EXPECT_EQ(f.Listed(true), (Texts{"sC", "sA5"}));
    EXPECT_EQ(f.View().OwnResults().Get(0)->summary.str(), "sC");
    EXPECT_TRUE(f.Control().GetSelectionList().empty());

    f.Frame().DoCommand(kCmdDeleteDuplicateAddresses);
    EXPECT_EQ(f.LastMessage(), "Deleted number of repeated Addresses: 0");
}

TEST(RefineCommandsView, ValidateMarksStatesAndDeleteInvalidRemovesThem) {
    FixtureServer links(LinkAnswer);
    RowsFixture f({{"ok", links.Url("/ok"), "", "E"},
                   {"gone", links.Url("/gone"), "", "E"},
                   {"moved", links.Url("/moved"), "", "E"},
                   {"unchecked", links.Url("/ok"), "", "E"}});
    // Validate checks the selected rows only and deselects each as its state arrives.
    f.Control().SelectRange(0, 2, kReportSelectApply);
    f.Frame().DoCommand(kCmdValidate);
    ASSERT_TRUE(f.WaitForChecks());
    EXPECT_EQ(f.States(), (std::vector<int>{1, 2, 3, 0}));
    EXPECT_TRUE(f.Control().GetSelectionList().empty());

    f.Frame().DoCommand(kCmdDeleteInvalid);
    EXPECT_EQ(f.Column(1), (Texts{"ok", "moved", "unchecked"}));
    EXPECT_EQ(f.Listed(), (Texts{"ok", "moved", "unchecked"}));
    EXPECT_EQ(f.States(), (std::vector<int>{1, 3, 0}));
}

TEST(RefineCommandsView, RowDeletedWhileCheckedIsNotMistakenForAnother) {
    FixtureServer links(LinkAnswer);
    RowsFixture f({{"slow", links.Url("/slow"), "", "E"}, {"ok", links.Url("/ok"), "", "E"}});
    f.Frame().DoCommand(kCmdValidateAll);
    EXPECT_TRUE(f.Control().GetSelectionList().empty());
    ASSERT_TRUE(runEventsUntil([&] { return f.View().StateOf(1) == 1; }, kChecksLimitMs));
    // The slow row goes while its answer is still on the way; "ok" becomes item 0.
    f.ClickRow(0);
    f.Frame().DoCommand(kCmdDelete);
    ASSERT_EQ(f.Column(1), (Texts{"ok"}));
    ASSERT_TRUE(f.WaitForChecks());
    EXPECT_EQ(f.States(), (std::vector<int>{1}));
}

// The Find dialog's boxes reach the finder (its rules are the core's), and what is found is
// selected in the sorted view.
TEST(RefineCommandsView, FindDialogSelectsInTheDisplayOrder) {
    RowsFixture f({{"Zebra", "http://z/", "Concatenate here", "E"},
                   {"Apple", "http://a/", "nothing", "E"},
                   {"Mango", "http://m/", "a cat", "E"}});
    f.Frame().DoCommand(kCmdSortTitle);
    ASSERT_EQ(f.Column(1), (Texts{"Apple", "Mango", "Zebra"}));

    f.Frame().DoCommand(kCmdFind);
    FindDialog* dialog = f.View().LastFindDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isModal());
    EXPECT_FALSE(dialog->TitleBox().isChecked());
    EXPECT_FALSE(dialog->AddressBox().isChecked());
    EXPECT_TRUE(dialog->SummaryBox().isChecked());
    EXPECT_FALSE(dialog->MatchCaseBox().isChecked());
    QTest::keyClicks(&dialog->TextEdit(), "CAT");
    QTest::mouseClick(&dialog->FindButton(), Qt::LeftButton);
    runEventsUntil([&] { return f.View().LastFindDialog() == nullptr; }, 2000);
    EXPECT_EQ(f.View().LastFindDialog(), nullptr);
    EXPECT_EQ(f.Control().GetSelectionList(), (std::vector<int>{2}));
    f.Frame().DoCommand(kCmdFindNext);
    EXPECT_EQ(f.Control().GetSelectionList(), (std::vector<int>{0}));
    EXPECT_TRUE(f.messages.messages.empty());

    // Titles only with match case: "apple" is not "Apple".
    f.Frame().DoCommand(kCmdFind);
    dialog = f.View().LastFindDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->MatchCaseBox().setChecked(true);
    dialog->SummaryBox().setChecked(false);
    dialog->TitleBox().setChecked(true);
    QTest::keyClicks(&dialog->TextEdit(), "apple");
    QTest::mouseClick(&dialog->FindButton(), Qt::LeftButton);
    EXPECT_EQ(f.LastMessage(), "Complete searching for key words");
}

TEST(RefineCommandsView, SaveAddressOffersAShortcutOfTheSelectedRow) {
    RowsFixture f({{"a.b/c", "http://x.example/page", "", "E"}});
    f.Frame().DoCommand(kCmdSaveAddress);
    EXPECT_EQ(f.dialogs.runs, 0) << "no row is selected";

    f.ClickRow(0);
    f.dialogs.answer = f.app.file("saved.url");
    f.Frame().DoCommand(kCmdSaveAddress);
    ASSERT_EQ(f.dialogs.runs, 1);
    EXPECT_EQ(f.dialogs.mode, QFileDialog::AcceptSave);
    EXPECT_EQ(f.dialogs.defaultSuffix, "url");
    EXPECT_EQ(f.dialogs.filters, (QStringList{"URL Files (*.url)", "All Files (*.*)"}));
    ASSERT_EQ(f.dialogs.initialFiles.size(), 1);
    // The proposed name; the dialog adds the extension.
    EXPECT_TRUE(f.dialogs.initialFiles[0].endsWith("/a_b_c.url"))
        << f.dialogs.initialFiles[0].toStdString();
    EXPECT_EQ(readFileBytes(f.app.file("saved.url")),
              "[InternetShortcut]\r\nURL=http://x.example/page\r\n");
}

TEST(RefineCommandsView, RefineDialogBoxesChooseTheSteps) {
    FixtureServer links(LinkAnswer);
    RowsFixture f({{"same", links.Url("/ok"), "", "E"},
                   {"same", links.Url("/gone"), "", "E"},
                   {"other", links.Url("/gone"), "", "E"}});
    f.Frame().DoCommand(kCmdRefine);
    RefineDialog* dialog = f.View().LastRefineDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isModal());
    EXPECT_TRUE(dialog->TitlesBox().isChecked());
    EXPECT_TRUE(dialog->AddressesBox().isChecked());
    EXPECT_TRUE(dialog->ValidateBox().isChecked());
    // Only validation: nothing goes, every row is checked.
    dialog->TitlesBox().setChecked(false);
    dialog->AddressesBox().setChecked(false);
    QTest::mouseClick(&dialog->RefineButton(), Qt::LeftButton);
    ASSERT_TRUE(f.WaitForChecks());
    EXPECT_EQ(f.States(), (std::vector<int>{1, 2, 2}));
    EXPECT_TRUE(f.messages.messages.empty());

    // Everything: both deletes run (their order is the core's) and the rows follow.
    f.Frame().DoCommand(kCmdRefine);
    QTest::mouseClick(&f.View().LastRefineDialog()->RefineButton(), Qt::LeftButton);
    ASSERT_TRUE(f.WaitForChecks());
    EXPECT_EQ(f.messages.messages.size(), 2u);
    EXPECT_EQ(f.Listed(), (Texts{"same", "other"}));
    EXPECT_EQ(f.States(), (std::vector<int>{1, 2}));
}
