#pragma once

#include "search/SearchSessionView.h"

#include <cstdio>
#include <functional>
#include <string>

// The search session's user interface on a terminal: results go to stdout as tab-separated
// lines the moment they are accepted, message boxes and the end text to stderr, one line each.
// Verbose, every other status text goes to stderr as well, an engine's notice after its name.
class CliSessionView : public SearchSessionView {
  public:
    CliSessionView(std::string keyword, std::string category, bool verbose,
                   std::function<void()> onIdle);

    std::string Keyword() override;
    std::string Category() override;
    void SetStatusText(std::string_view text) override;
    void SetNoticeText(std::string_view engine, std::string_view text) override;
    void SetProgressRange(int lower, int upper) override;
    void StepProgress() override;
    void ResetProgress() override;
    void SetSearchButtonState(int state) override;
    void ShowMessage(std::string_view caption, std::string_view text) override;
    void ClearResults() override;
    void AddResultRow(int position, const SearchResult& result) override;

    // Whether each result is printed as it is accepted (the default); the caller prints the
    // list itself when the search has ended otherwise.
    void SetStreaming(bool streaming);
    bool IsStreaming() const;
    int MessageCount() const;
    // Runs once, just before the first status text after the search has ended (its end
    // text), or when RunBeforeEnd is called first.
    void SetBeforeEnd(std::function<void()> beforeEnd);
    void RunBeforeEnd();

  private:
    std::string m_keyword;
    std::string m_category;
    bool m_verbose;
    std::function<void()> m_onIdle;
    std::function<void()> m_beforeEnd;
    bool m_ended = false;
    bool m_streaming = true;
    int m_messages = 0;
};
