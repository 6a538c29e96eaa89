#include "platform/AddResultLock.h"

#include <condition_variable>
#include <mutex>

namespace {

// A lock with a bounded wait, built from a plain mutex and a condition so that every tool
// (the thread sanitizer among them) sees how it orders the threads.
struct TimedLock {
    std::mutex mutex;
    std::condition_variable released;
    bool held = false;
};

TimedLock& addResultLock() {
    static TimedLock lock;
    return lock;
}

} // namespace

bool AddResultLock::Acquire() {
    TimedLock& lock = addResultLock();
    std::unique_lock<std::mutex> guard(lock.mutex);
    if (!lock.released.wait_for(guard, kWaitLimit, [&lock] { return !lock.held; })) {
        return false;
    }
    lock.held = true;
    return true;
}

void AddResultLock::Release() {
    TimedLock& lock = addResultLock();
    {
        std::lock_guard<std::mutex> guard(lock.mutex);
        lock.held = false;
    }
    lock.released.notify_one();
}
