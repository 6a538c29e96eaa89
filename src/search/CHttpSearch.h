#pragma once

#include "extract/ResultExtractor.h"
#include "search/HttpClient.h"
#include "search/PageTally.h"
#include "search/SearchJob.h"

#include <atomic>
#include <memory>

class SearchManager;

// What a manager and its workers share. Read and written on the user-interface thread only:
// the manager clears it when it stops, so work that a worker queued earlier finds no manager.
struct SearchManagerLink {
    SearchManager* manager = nullptr;
};

// One search worker: fetches one result page of one engine on its own thread and hands every
// piece to the user-interface thread, where the manager parses it with this worker's extractor
// while the worker waits. The object lives as long as its thread runs, even after a stop.
class CHttpSearch : public HttpClient,
                    public ResultExtractor,
                    public std::enable_shared_from_this<CHttpSearch> {
  public:
    static constexpr int kMillisecondsPerSecond = 1000;

    CHttpSearch();
    ~CHttpSearch() override;

    // Configures the worker from job before its thread starts; the socket time-outs are the
    // current settings (seconds) times 1000.
    void Setup(std::shared_ptr<SearchManagerLink> link, int slot, const SearchJob& job,
               int receiveTimeoutSeconds, int sendTimeoutSeconds, bool cleanAddresses);
    // Starts the thread that runs the exchange.
    void Start();
    // Stops the worker from the user-interface thread: it drops its results, abandons its
    // exchange at once and sends nothing more, not even its end.
    void Stop();
    bool IsStopped() const;
    int Slot() const;
    // What arrived of the page so far. Read on the user-interface thread while the worker waits
    // for its piece to be parsed, or after it has ended.
    const PageTally& Tally() const;

    // Workers whose thread still runs, in the whole process.
    static int LiveCount();
    // On the user-interface thread: processes events until every worker thread has ended or
    // the time is up. True when none is left.
    static bool WaitForAllEnded(int timeoutMs);

  protected:
    void Notify(int code, int detail) override;
    void OnData(const char* piece, std::size_t size) override;

  private:
    void Run();

    std::shared_ptr<SearchManagerLink> m_link;
    int m_slot = 0;
    PageTally m_tally;
    std::atomic<bool> m_stopped{false};
};
