#pragma once

#include "results/LinkState.h"

#include <cstdint>

// Receives what link validation finds, on the user-interface thread. The results view is the
// target in the program; the headless front end and the tests have their own.
class LinkCheckTarget {
  public:
    virtual ~LinkCheckTarget();

    // The state of the row that was added under row (LinkCheckManager::Add), handed over while
    // its checker waits: Valid, Invalid or Unknown, never NotChecked. The row may be gone by
    // now (deleted while its address was being checked); the target then ignores the state, so
    // a target whose rows can be deleted passes a key that stays with its row (an item id
    // rather than a position).
    virtual void OnRowState(int32_t row, LinkState state) = 0;
    // Every added address has been checked and the last checker has ended. Base: nothing.
    virtual void OnAllChecked();
};
