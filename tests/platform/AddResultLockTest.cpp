#include "platform/AddResultLock.h"
#include "platform/ScopedAddResultLock.h"

#include <gtest/gtest.h>

#include <stdexcept>

// The guard gives the lock back on every way out of its scope, an exception included; a lock
// left held would make every later append wait its full bound.
TEST(ScopedAddResultLock, ReleasesOnEveryWayOut) {
    {
        const ScopedAddResultLock lock;
        EXPECT_TRUE(lock.Locked());
    }
    try {
        const ScopedAddResultLock lock;
        throw std::runtime_error("leaving the scope");
    } catch (const std::runtime_error&) {
    }
    ASSERT_TRUE(AddResultLock::Acquire());
    AddResultLock::Release();
}
