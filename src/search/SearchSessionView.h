#pragma once

#include "model/SearchResult.h"

#include <string>
#include <string_view>

// Everything a search session needs of the user interface: the main window provides it, and
// so does the headless front end. Called on the user-interface thread only.
class SearchSessionView {
  public:
    // Pictures of the Search button.
    static constexpr int kButtonIdle = 1;
    static constexpr int kButtonSearching = 2;

    virtual ~SearchSessionView();
    virtual std::string Keyword() = 0;
    // The category chosen in the search bar.
    virtual std::string Category() = 0;
    // The first pane of the status bar.
    virtual void SetStatusText(std::string_view text) = 0;
    // The status text of one engine's notice; the first pane shows the text alone by default.
    virtual void SetNoticeText(std::string_view engine, std::string_view text);
    // Range of the progress indicator, stepped by one.
    virtual void SetProgressRange(int lower, int upper) = 0;
    virtual void StepProgress() = 0;
    virtual void ResetProgress() = 0;
    virtual void SetSearchButtonState(int state) = 0;
    virtual void ShowMessage(std::string_view caption, std::string_view text) = 0;
    virtual void ClearResults() = 0;
    // Appends the row of one result at position (the end of the list). The session's result
    // list already holds the result at that position.
    virtual void AddResultRow(int position, const SearchResult& result) = 0;
    // The result at position changed (another engine found the same page); nothing by default.
    virtual void UpdateResultRow(int position, const SearchResult& result);
};
