#include "platform/AddResultLock.h"

#include <mutex>

namespace {

std::timed_mutex& addResultMutex() {
    static std::timed_mutex mutex;
    return mutex;
}

} // namespace

bool AddResultLock::Acquire() {
    return addResultMutex().try_lock_for(kWaitLimit);
}

void AddResultLock::Release() {
    addResultMutex().unlock();
}
