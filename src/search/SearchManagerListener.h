#pragma once

#include <string_view>

class SearchManager;

// The main frame's side of a running search: it hears every worker's status notices and takes
// the results the manager has parsed. Both arrive on the user-interface thread while the
// worker that caused them waits, so the listener may stop the search from inside them.
class SearchManagerListener {
  public:
    virtual ~SearchManagerListener();
    // A progress or failure notice of one worker's HTTP exchange for the engine so named
    // (empty when the worker's engine is not known).
    virtual void OnSearchNotice(int code, int detail, std::string_view engine) = 0;
    // The manager's pending list holds new results.
    virtual void OnNewResults(SearchManager& manager) = 0;
    // Every engine of the search has left it (out of pages, refused, or failed) and no worker
    // runs any more: nothing further can arrive.
    virtual void OnEnginesDone(SearchManager& manager) = 0;
};
