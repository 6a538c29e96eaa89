#include "platform/FolderLock.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// How often a waiting program tries the lock again.
constexpr std::chrono::milliseconds kRetryInterval{10};
constexpr mode_t kLockFileMode = 0644;

} // namespace

FolderLock::FolderLock(std::string programFolder) : m_path(std::move(programFolder)) {
    if (m_path.empty() || m_path.back() != '/') {
        m_path += '/';
    }
    m_path += kFileName;
}

FolderLock::~FolderLock() {
    Release();
}

bool FolderLock::Acquire(int timeoutMs) {
    if (m_descriptor >= 0) {
        return true;
    }
    const int descriptor = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kLockFileMode);
    if (descriptor < 0) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(descriptor);
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(descriptor);
            return false;
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
    m_descriptor = descriptor;
    return true;
}

void FolderLock::Release() {
    if (m_descriptor < 0) {
        return;
    }
    ::flock(m_descriptor, LOCK_UN);
    ::close(m_descriptor);
    m_descriptor = -1;
}
