#pragma once

// Holds the process-wide AddResultLock for one scope: takes it (with its bounded wait) when made
// and gives it back when the scope ends, also when an exception leaves the scope, so the lock can
// never stay held by a path that forgot to release it.
class ScopedAddResultLock {
  public:
    ScopedAddResultLock();
    ~ScopedAddResultLock();
    ScopedAddResultLock(const ScopedAddResultLock&) = delete;
    ScopedAddResultLock& operator=(const ScopedAddResultLock&) = delete;

    // False when the wait ran out and the scope goes on without the lock.
    bool Locked() const;

  private:
    bool m_locked;
};
