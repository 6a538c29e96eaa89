#include "platform/ScopedAddResultLock.h"

#include "platform/AddResultLock.h"

ScopedAddResultLock::ScopedAddResultLock() : m_locked(AddResultLock::Acquire()) {
}

ScopedAddResultLock::~ScopedAddResultLock() {
    if (m_locked) {
        AddResultLock::Release();
    }
}

bool ScopedAddResultLock::Locked() const {
    return m_locked;
}
