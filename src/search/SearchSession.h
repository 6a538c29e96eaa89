#pragma once

#include "model/ResultList.h"
#include "model/UniqueResultList.h"
#include "search/EngineAccount.h"
#include "search/HealthWriter.h"
#include "search/RelevanceRanking.h"
#include "search/SearchManagerListener.h"
#include "settings/EngineHealth.h"
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
// ends the search: enough results, or every engine done ("Search Completed"), no new result for
// the time-out while engines still work ("Search Timeout"), too many unreachable hosts or none
// reachable ("Host Not Found"), no engine to ask in the category, or the user.
class SearchSession : public SearchManagerListener {
  public:
    static constexpr std::size_t kMaxKeywordLength = 254;
    static constexpr int kMillisecondsPerSecond = 1000;
    // The bytes of a result's engine field.
    static constexpr std::size_t kEngineFieldLength = 20;
    // Between the engines that found the same page, in the result's engine field.
    static constexpr std::string_view kEngineListSeparator = ", ";

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
    // How the engines of the current or last search ranked its pages.
    const RelevanceRanking& Ranking() const;
    // The engines the next searches ask, by name, in place of the category's enabled ones;
    // empty: the enabled ones.
    void SetEngineChoice(std::vector<std::string> names);
    // The last search ended at once: its category had no enabled engine that does not rest.
    bool HadNoEngine() const;
    // Waits until the outcomes of the last search are in the engine health file, which is
    // written in the background after each search.
    void WaitForHealth();

    // From the manager, on the user-interface thread.
    void OnSearchNotice(int code, int detail, std::string_view engine) override;
    void OnNewResults(SearchManager& manager) override;
    void OnEnginesDone(SearchManager& manager) override;

  private:
    void OnSearchTimer();
    // Engines of the chosen category that rest after being blocked again and again: left out,
    // each with a status text.
    std::vector<std::string> RestingEngines();
    // Adds every engine's outcome of the search that ended to the engine health file.
    void RecordHealth();
    // The health of one engine's search as its report tells it; false when it has nothing to
    // tell (it rested, or was never reached).
    static bool HealthOf(const EngineRecord& record, std::int64_t now,
                         EngineHealth::Search& search);
    // A duplicate of a listed page was refused: the listed result names its engine too.
    void MergeEngine(const SearchResult& duplicate);
    void RestartTimer();

    EngineCatalog& m_catalog;
    SearchSessionView& m_view;
    const ConnectionState& m_connection;
    OptionsStore m_options;
    Overrides m_overrides;
    EngineAccount m_account;
    RelevanceRanking m_ranking;
    std::vector<std::string> m_engineChoice;
    // The engines that found each page found more than once, by the page's address key.
    std::unordered_map<std::string, std::vector<std::string>> m_pageEngines;
    QTimer m_timer;
    HealthWriter m_healthWriter;
    // Held while the session lives: work posted back by the health writer checks it.
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0);

    bool m_searching = false;
    bool m_keepEngineReport = true;
    bool m_autoRemoveUrl = false;
    int32_t m_receivedCount = 0;
    int32_t m_maxResult = 0;
    int32_t m_hostFailures = 0;
    int32_t m_maxEngine = 0;
    uint32_t m_searchTimeoutMs = 0;
    std::string m_currentKeyword;
    // The category of the current or last search.
    std::string m_category;
    bool m_noEngine = false;
    UniqueResultList m_duplicateFilter;
    ResultList m_results;
    std::unique_ptr<SearchManager> m_manager;
};
