#pragma once

#include "app/CMainFrame.h"
#include "app/FileDialogRunner.h"
#include "platform/ConnectionState.h"
#include "settings/OptionsStore.h"

#include "support/FixtureServer.h"
#include "support/ProgramFolder.h"
#include "support/RecordingDdeBridge.h"
#include "support/RecordingDesktopOpen.h"
#include "support/RecordingMessageSink.h"
#include "support/RecordingProcessLauncher.h"

#include <QFileDialog>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CMarovaneProView;
class CReportCtrl;

// Answers file dialogs for the user and keeps what each dialog offered.
class ScriptedDialogs : public FileDialogRunner {
  public:
    std::string Run(QFileDialog& dialog) override;
    std::vector<std::string> RunMany(QFileDialog& dialog) override;

    // The path the "user" chooses; empty cancels.
    std::string answer;
    // The paths chosen in a dialog that allows several.
    std::vector<std::string> answers;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    int runs = 0;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QStringList filters;
    QString defaultSuffix;
    QStringList initialFiles;
};

// Whether a file dialog's name filter, such as "Text Files (*.txt)", lists fileName.
bool NameFilterMatches(const QString& filter, const QString& fileName);

class SwitchableConnection : public ConnectionState {
  public:
    bool IsConnected() const override;
    bool connected = true;
};

// A program folder with loopback engines and its own settings, and the real main window on it
// with fakes for the browser, other programs and the file dialogs.
class GuiFixture {
  public:
    GuiFixture();
    ~GuiFixture();

    // Writes an engine whose requests go to the fixture server's "/<name>?q=$KEY$&n=$FIRST$";
    // it answers pages of pageSize results.
    void AddEngine(const std::string& name, const std::string& category = "The Web");
    // Writes an engine with a website of its own (an unreachable host, say).
    void AddEngineAt(const std::string& name, const std::string& website,
                     const std::string& category = "The Web");
    void SetOption(const std::string& key, const std::string& value);
    std::string Option(const std::string& key) const;
    // Creates the window on first use (after the engines are written) and shows it.
    CMainFrame& Frame();
    // Types the keyword into the search bar and clicks the Search button.
    void Search(const QString& keyword);
    void ClickSearchButton();
    bool WaitForEnd(int limitMs);
    // Cell texts of a column in display order.
    std::vector<std::string> Column(int subItem);
    std::string Status();
    // Opens a results file of rows (title, address, summary, engine each) in the window.
    void OpenRows(const std::vector<std::vector<std::string>>& rows);
    CMarovaneProView& View();
    CReportCtrl& Control();
    // Clicks the row (display position) on its title cell, selecting it alone.
    void ClickRow(int row, Qt::MouseButton button = Qt::LeftButton);
    // The selected items in item order.
    std::vector<int> Selected();

    int pageSize = 5;
    // Each answer page waits this long before it is sent.
    int answerDelayMs = 0;
    // Answer nothing for ever (the search then times out).
    bool stall = false;
    // When set, the body of each answer page in place of ResultPage (engine, first offset).
    std::function<std::string(const std::string&, int)> page;

    ProgramFolder app;
    OptionsStore options{app.path()};
    RecordingMessageSink messages;
    SwitchableConnection connection;
    RecordingDdeBridge dde;
    RecordingProcessLauncher processes;
    RecordingDesktopOpen desktop;
    ScriptedDialogs dialogs;
    std::unique_ptr<FixtureServer> server;

  private:
    FixtureReply Answer(const std::string& request);

    std::unique_ptr<CMainFrame> m_frame;
};

// A result page of count results of engine, numbered from first. Titles carry a "|>" marker;
// addresses are "http://r.example/<engine>/<n>".
std::string ResultPage(const std::string& engine, int first, int count);
