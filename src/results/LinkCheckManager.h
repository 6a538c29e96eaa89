#pragma once

#include "results/CURLCheck.h"
#include "results/LinkState.h"
#include "search/JobQueue.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

class LinkCheckTarget;

// Runs link validation: a first-in first-out queue of addresses with their rows, at most
// kMaxCheckers checkers at once, each slot refilled with the next address as its checker ends,
// and every row's state handed to the target. Lives on the user-interface thread, as long as
// the view it serves; it shares nothing with a search, so both can run at once.
class LinkCheckManager {
  public:
    static constexpr int kMaxCheckers = 8;

    LinkCheckManager();
    // Stops every checker still running.
    ~LinkCheckManager();
    LinkCheckManager(const LinkCheckManager&) = delete;
    LinkCheckManager& operator=(const LinkCheckManager&) = delete;

    // Where row states go; nullptr drops them. The target must outlive the checks, or be
    // replaced first.
    void SetTarget(LinkCheckTarget* target);
    // Queues address to be checked for row. An address longer than a queue entry holds is
    // queued empty, which its checker reports as Unknown, rather than checked cut short.
    void Add(std::string_view address, int32_t row);
    // Starts a checker in every free slot, each on the next waiting address, while addresses
    // wait. The rest are taken up as slots fall free. With nothing waiting, starts nothing.
    void StartChecks();
    // Stops every running checker at once and forgets the waiting addresses; no state arrives
    // afterwards. The manager can be used again.
    void StopAll();
    int Waiting() const;
    int Running() const;

    // Handed over from the checkers, on the user-interface thread.
    void OnRowState(CURLCheck& checker, LinkState state);
    void OnCheckerEnded(CURLCheck& checker);

    // Delete invalid addresses: walks the rows from the last down to the first and removes
    // every row whose state is Invalid, so the indices still to be visited never move. Returns
    // how many were removed.
    static int32_t DeleteInvalid(int32_t rowCount, const std::function<LinkState(int32_t)>& stateOf,
                                 const std::function<void(int32_t)>& removeRow);

  private:
    // Starts a checker in slot on the first waiting address and takes it off the queue.
    void StartChecker(int slot);

    LinkCheckTarget* m_target = nullptr;
    JobQueue m_queue;
    std::array<std::shared_ptr<CURLCheck>, kMaxCheckers> m_slots;
    std::shared_ptr<LinkCheckLink> m_link;
};
