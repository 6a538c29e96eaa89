#pragma once

#include "model/ResultList.h"
#include "model/UniqueResultList.h"
#include "search/EngineAccount.h"
#include "search/SearchManagerListener.h"
#include "settings/OptionsStore.h"

#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class ConnectionState;
class EngineCatalog;
class SearchManager;
class SearchSessionView;

// The main window's side of one search: starts it from the keyword and category, takes the
// results the workers parse, counts them into the view, shows progress and status texts, and
// ends the search in one of four ways: enough results ("Search Completed"), no new result for
// the time-out ("Search Timeout"), too many unreachable hosts ("Host Not Found"), or the user.
class SearchSession : public SearchManagerListener {
  public:
    static constexpr std::size_t kMaxKeywordLength = 254;
    static constexpr int kMillisecondsPerSecond = 1000;
    // The bytes of a result's engine field.
    static constexpr std::size_t kEngineFieldLength = 20;

    // The engine field of a page that several engines found: "Bing, Yahoo" while that fits
    // the field, else the first engine and how many more ("Bing +2").
    static std::string EngineListText(const std::vector<std::string>& engines);

    // Settings given for one run (the command line), in place of the stored ones.
    struct Overrides {
        std::optional<int> maxResult;
        std::optional<int> maxEngine;
        std::optional<int> searchTimeoutSeconds;
    };

    // options is the program folder's settings store: the limits are read from it when a
    // search starts, and the keyword goes into the history of its program folder.
    SearchSession(EngineCatalog& catalog, SearchSessionView& view,
                  const ConnectionState& connection, OptionsStore options);
    ~SearchSession() override;

    void SetOverrides(const Overrides& overrides);
    // Whether searches keep the engine report (Account()); on unless a benchmark weighs what
    // keeping it costs. Off, the report of a search stays empty.
    void SetKeepEngineReport(bool keep);
    // The Search button: starts a search when none runs, stops the running one otherwise.
    void OnSearchButton();
    void StartSearch();
    void StopSearch();

    bool IsSearching() const;
    const ResultList& Results() const;
    ResultList& Results();
    const std::string& CurrentKeyword() const;
    // What each engine of the current or last search did.
    const EngineAccount& Account() const;
    // The manager of the current or last search, if any.
    SearchManager* Manager() const;

    // From the manager, on the user-interface thread.
    void OnSearchNotice(int code, int detail) override;
    void OnNewResults(SearchManager& manager) override;

  private:
    void OnSearchTimer();
    // Engines of the chosen category that rest after being blocked again and again: left out,
    // each with a status text.
    std::vector<std::string> RestingEngines();
    // Adds every engine's outcome of the search that ended to the engine health file.
    void RecordHealth();
    // A duplicate of a listed page was refused: the listed result names its engine too.
    void MergeEngine(const SearchResult& duplicate);
    void RestartTimer();

    EngineCatalog& m_catalog;
    SearchSessionView& m_view;
    const ConnectionState& m_connection;
    OptionsStore m_options;
    Overrides m_overrides;
    EngineAccount m_account;
    // The engines that found each page found more than once, by the page's address key.
    std::unordered_map<std::string, std::vector<std::string>> m_pageEngines;
    QTimer m_timer;

    bool m_searching = false;
    bool m_keepEngineReport = true;
    bool m_autoRemoveUrl = false;
    int32_t m_receivedCount = 0;
    int32_t m_maxResult = 0;
    int32_t m_hostFailures = 0;
    int32_t m_maxEngine = 0;
    uint32_t m_searchTimeoutMs = 0;
    std::string m_currentKeyword;
    UniqueResultList m_duplicateFilter;
    ResultList m_results;
    std::unique_ptr<SearchManager> m_manager;
};
