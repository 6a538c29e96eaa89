#include "app/CMainFrame.h"
#include "app/CMarovaneProApp.h"
#include "app/ProgressStatusBar.h"
#include "model/ResultList.h"
#include "results/ResultsFile.h"
#include "settings/OptionsStore.h"

#include "support/EventLoopWait.h"
#include "support/ProgramFolder.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A program folder with settings and a results file of two results.
class StartUpFixture {
  public:
    StartUpFixture() {
        ResultList list;
        list.Add("One", "http://one.example/", "", "e");
        list.Add("Two", "http://two.example/", "", "e");
        ResultsFile::WriteResultsFile(list, app.file("two results.vnr"));
    }
    QStringList Arguments(const QStringList& rest) const {
        return QStringList{"--app-path", QString::fromStdString(app.path())} + rest;
    }

    ProgramFolder app;
};

} // namespace

TEST(StartUp, ResultsPathKeepsTheArgumentLessOnePairOfQuotes) {
    EXPECT_EQ(CMarovaneProApp::ResultsPathOf("\"/a b/c.vnr\""), "/a b/c.vnr");
    EXPECT_EQ(CMarovaneProApp::ResultsPathOf("/a b/c.vnr"), "/a b/c.vnr");
    EXPECT_EQ(CMarovaneProApp::ResultsPathOf("\"\""), "");
    EXPECT_EQ(CMarovaneProApp::ResultsPathOf("\""), "\"");
    CMarovaneProApp program;
    std::string error;
    EXPECT_FALSE(program.ParseCommandLine({"--bogus"}, error));
    EXPECT_NE(error.find("--bogus"), std::string::npos);
}

TEST(StartUp, OpensTheResultsFileInAWindowOfTheStoredState) {
    StartUpFixture f;
    OptionsStore(f.app.path()).SetWinState(OptionsStore::kWinStateNormal);
    CMarovaneProApp program;
    std::string error;
    // An unquoted path with a blank reaches the program as two words.
    const QString file = QString::fromStdString(f.app.file("two"));
    ASSERT_TRUE(program.ParseCommandLine(f.Arguments({file, "results.vnr"}), error)) << error;
    ASSERT_TRUE(program.InitInstance());
    CMainFrame& frame = *program.Frame();
    EXPECT_EQ(frame.windowTitle(), "Vantorell 2001");
    EXPECT_FALSE(frame.isMaximized());
    EXPECT_EQ(frame.StatusBar().PaneText(), "2 result(s)");
}

TEST(StartUp, AMissingResultsFileEndsTheProgramWithAMessage) {
    StartUpFixture f;
    CMarovaneProApp program;
    std::string error;
    ASSERT_TRUE(program.ParseCommandLine(
        f.Arguments({"\"" + QString::fromStdString(f.app.file("none.vnr")) + "\""}), error));
    QString shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->windowTitle() + "|" + box->text();
            box->accept();
        }
    });
    closer.start(10);
    EXPECT_FALSE(program.InitInstance());
    EXPECT_EQ(program.Frame(), nullptr);
    EXPECT_TRUE(shown.startsWith("Vantorell 2001|")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("none.vnr"));
}
