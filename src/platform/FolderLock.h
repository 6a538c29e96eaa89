#pragma once

#include <string>
#include <string_view>

// The lock of one program folder, held by one program at a time: the window, other windows
// and the headless program may share a folder, and each reads, changes and writes its shared
// files (the engine health, the engine files) only while it holds this lock. It is an flock on
// a lock file in the folder, so the system lets go of it when a program ends, however it ends.
class FolderLock {
  public:
    static constexpr std::string_view kFileName = "Vantorell2001.lock";

    explicit FolderLock(std::string programFolder);
    // Lets go of the lock if held.
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Waits at most timeoutMs for the lock; false when another program held it all that time or
    // the lock file cannot be opened.
    bool Acquire(int timeoutMs);
    void Release();

  private:
    std::string m_path;
    int m_descriptor = -1;
};
