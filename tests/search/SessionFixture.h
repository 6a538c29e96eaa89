#pragma once

#include "model/EngineCatalog.h"
#include "platform/ConnectionState.h"
#include "search/SearchSession.h"
#include "search/SearchSessionView.h"

#include "support/ProgramFolder.h"
#include "support/RecordingMessageSink.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Records everything a search session shows.
class RecordingView : public SearchSessionView {
  public:
    std::string keyword = "cats";
    std::string category = "The Web";
    std::vector<std::string> statusTexts;
    std::vector<SearchResult> rows;
    std::vector<std::string> messages;
    std::vector<int> buttonStates;
    int progressUpper = -1;
    int progressSteps = 0;
    int progressResets = 0;
    int updatedRows = 0;
    // Runs after each new row, as a user's command between two batches would.
    std::function<void()> afterRow;

    std::string Keyword() override;
    std::string Category() override;
    void SetStatusText(std::string_view text) override;
    void SetProgressRange(int lower, int upper) override;
    void StepProgress() override;
    void ResetProgress() override;
    void SetSearchButtonState(int state) override;
    void ShowMessage(std::string_view caption, std::string_view text) override;
    void ClearResults() override;
    void AddResultRow(int position, const SearchResult& result) override;
    void UpdateResultRow(int position, const SearchResult& result) override;

    std::string LastStatus() const;
    bool Saw(const std::string& status) const;
};

class FixedConnection : public ConnectionState {
  public:
    bool connected = true;
    bool IsConnected() const override;
};

// A program folder with its own engines and settings, and a session on it.
class SessionFixture {
  public:
    SessionFixture();
    ~SessionFixture();

    // Writes a canonical engine file into Site (or User) whose requests go to base + path.
    void AddEngine(const std::string& name, const std::string& website, const std::string& path,
                   const std::string& category = "The Web", const std::string& trunpage = "266");
    void SetOption(const std::string& key, const std::string& value);
    // Searches through the proxy at 127.0.0.1:port.
    void UseProxy(int port);
    // Loads the catalogue and creates the session; call after the engines are written.
    SearchSession& Session();
    // Runs the event loop until the search has ended (or the limit passed).
    bool WaitForEnd(int limitMs);
    // Starts a search and waits for its end.
    bool Search(int limitMs = 10000);

    ProgramFolder app;
    RecordingView view;
    FixedConnection connection;
    RecordingMessageSink messages;

  private:
    std::unique_ptr<EngineCatalog> m_catalog;
    std::unique_ptr<SearchSession> m_session;
};

// The grammar of the test engines and a page of count results in that form, numbered from
// first; the addresses are "/r/<engine>/<n>".
extern const char* const kTestGrammar;
std::string resultPage(const std::string& engine, int first, int count);
// The value of "first=" in a request line; 0 for none (a CONNECT request).
int firstOffset(const std::string& request);
// An HTTP/1.0 answer carrying body.
std::string httpAnswer(const std::string& body);
