#pragma once

#include "results/LinkState.h"
#include "search/HttpClient.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string_view>

class LinkCheckManager;

// What a link-check manager and its checkers share. Read and written on the user-interface
// thread only: the manager clears it when it goes, so a hand-over that a checker queued earlier
// finds no manager.
struct LinkCheckLink {
    LinkCheckManager* manager = nullptr;
};

// One link checker: sends a HEAD request to one address on its own thread, classifies the
// answer and hands the row's state to the user-interface thread, waiting until it has been
// taken; then tells its manager that its slot is free, waiting again. It sends no progress or
// error notices. The object lives as long as its thread runs, even after a stop.
class CURLCheck : public HttpClient, public std::enable_shared_from_this<CURLCheck> {
  public:
    CURLCheck();
    ~CURLCheck() override;

    // Before the thread starts: the manager's link and the slot the checker runs in.
    void Setup(std::shared_ptr<LinkCheckLink> link, int slot);
    // Before the thread starts: a HEAD request to address, whose state is reported for row.
    void SetRequest(std::string_view address, int32_t row);
    // Starts the thread that runs the exchange.
    void Start();
    // From the user-interface thread: abandons the exchange at once; the checker sends nothing
    // more, not even its end.
    void Stop();
    bool IsStopped() const;
    int Slot() const;
    int32_t Row() const;

    // Checkers whose thread still runs, in the whole process.
    static int LiveCount();
    // On the user-interface thread: processes events until every checker thread has ended or
    // the time is up. True when none is left.
    static bool WaitForAllEnded(int timeoutMs);

  protected:
    // Releases the response, then reports the row as Unknown.
    void OnError() override;
    // Classifies the answer, reports the row's state, then releases the response.
    void OnComplete() override;

  private:
    void Run();
    // Hands the row's state to the manager's target and waits until it has been taken.
    void SendRowState(LinkState state);

    std::shared_ptr<LinkCheckLink> m_link;
    int m_slot = 0;
    int32_t m_row = 0;
    std::atomic<bool> m_stopped{false};
};
