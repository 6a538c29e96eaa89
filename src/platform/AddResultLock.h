#pragma once

#include <chrono>

// The one process-wide lock around every append to the incoming results of a search, shared by
// every extractor. Waiting is bounded: after kWaitLimit the caller appends anyway, so a stuck
// holder can never stall a search. Take it through ScopedAddResultLock, which gives it back
// on every way out of a scope.
class AddResultLock {
  public:
    static constexpr std::chrono::milliseconds kWaitLimit{5000};

    // Waits at most kWaitLimit. Returns true when the lock was taken (and must be released).
    static bool Acquire();
    static void Release();
};
