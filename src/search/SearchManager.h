#pragma once

#include "model/ResultList.h"
#include "search/CHttpSearch.h"
#include "search/JobQueue.h"
#include "settings/OptionsStore.h"

#include <chrono>

#include <array>
#include <memory>
#include <string>
#include <vector>

class EngineAccount;
class EngineCatalog;
class SearchManagerListener;

// Runs one search's workers: builds a job per enabled engine of the chosen category, starts
// up to min(MaxEngine, 10, jobs) workers, parses the pieces they hand in into its pending list,
// and refills every slot that falls free with the next job of the queue, which turns the
// engines' pages round and round. An engine leaves the round when its pages run out, or once
// it refused (an answer other than 2xx, a page that parsed to no result, such as a challenge
// or consent page) or its exchange failed: asking again would only lengthen a block. When no
// engine is left and no worker runs, the listener hears that the search is done. Lives on the
// user-interface thread.
class SearchManager {
  public:
    static constexpr int kMaxSlots = 10;

    // options gives the proxy when the search starts and the time-outs as each worker is set
    // up.
    explicit SearchManager(OptionsStore options);
    // Stops every worker still running.
    ~SearchManager();
    SearchManager(const SearchManager&) = delete;
    SearchManager& operator=(const SearchManager&) = delete;

    void SetMaxWorkers(int count);
    void SetCatalog(const EngineCatalog* catalog);
    void SetKeyword(std::string keyword);
    // Where the search's engine report is kept up to date; none when null.
    void SetAccount(EngineAccount* account);
    // Engines left out of this search (they rest after being blocked): no job is made for them.
    void SetRestingEngines(std::vector<std::string> names);
    // When not empty: the engines of the category this search asks, by name, whether their
    // files switch them on or not.
    void SetChosenEngines(std::vector<std::string> names);
    // Builds the jobs of the catalogue's current category and starts the first round.
    void Start(SearchManagerListener* frame);
    // Stops every running worker and destroys the queue; nothing starts afterwards and late
    // notices are ignored.
    void StopAll();
    ResultList& Pending();
    // Engines left out because their request did not fit its field.
    const std::vector<std::string>& SkippedEngines() const;
    int JobCount() const;
    int RunningWorkers() const;
    // Every engine of the search left it because its host could not be found.
    bool EveryEngineHostless() const;

    // Handed over from the workers, on the user-interface thread.
    void OnWorkerNotice(CHttpSearch& worker, int code, int detail);
    void OnPageData(CHttpSearch& worker);
    void OnWorkerEnded(CHttpSearch& worker);

  private:
    // Starts a worker on the next job of the queue in slot; false, leaving the slot empty,
    // when no engine has a page left.
    bool StartWorker(int slot);
    // Leaves out the jobs of resting engines.
    void DropRestingJobs();
    // Whether the page that just ended in slot tells to ask its engine no further page.
    bool EngineRefused(const CHttpSearch& worker, int slot) const;

    using Clock = std::chrono::steady_clock;
    // The page a slot's worker is fetching, for the engine report.
    struct SlotPage {
        int record = -1;
        int page = 0;
        Clock::time_point start;
        int parsed = 0;
        // The page's bytes as of its last parsed piece: all the user-interface thread may read
        // of a worker that is still running.
        std::uint64_t bytesSeen = 0;
        bool failed = false;
        // The failure was a host that could not be found.
        bool hostFailed = false;
        bool lastPage = false;
        std::string engine;
    };
    static std::int64_t MillisecondsSince(Clock::time_point start);

    OptionsStore m_options;
    int m_maxWorkers = 0;
    std::string m_keyword;
    const EngineCatalog* m_catalog = nullptr;
    SearchManagerListener* m_frame = nullptr;
    std::array<std::shared_ptr<CHttpSearch>, kMaxSlots> m_slots;
    std::unique_ptr<JobQueue> m_queue;
    ResultList m_pending;
    std::vector<std::string> m_skipped;
    std::shared_ptr<SearchManagerLink> m_link;
    bool m_stopped = false;
    EngineAccount* m_account = nullptr;
    std::vector<std::string> m_resting;
    std::vector<std::string> m_chosen;
    std::array<SlotPage, kMaxSlots> m_pages;
    // When each engine of the report made its first request.
    std::vector<Clock::time_point> m_firstRequests;
    // Engines the search started with, and those of them that left on a host not found.
    int m_engines = 0;
    int m_hostlessEngines = 0;
};
