#include "platform/AtomicFile.h"

#include <cerrno>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Permissions of a file that did not exist before: read and write for the owner, read for
// everybody else.
constexpr mode_t kNewFilePermissions = 0644;
// The permission bits of a file's mode, copied onto the file that replaces it.
constexpr mode_t kPermissionBits = 07777;
// The name pattern of the temporary file: hidden, beside the target, unique.
constexpr std::string_view kTemporaryPrefix = ".";
constexpr std::string_view kTemporarySuffix = ".XXXXXX";
// The bytes read at a time when the old contents are kept for an in-place rewrite.
constexpr std::size_t kReadChunkSize = 65536;

// The file a write must replace: the target of a symbolic link rather than the link itself.
std::string ResolveWriteTarget(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) {
        return path;
    }
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    if (error) {
        return path;
    }
    return target.string();
}

// Why mkstemp may fail in a folder whose files may still be rewritten: the folder is read-only
// or not writable by this user.
bool FolderRefusesNewFiles(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// The whole contents of an open file from its start; false on a read error.
bool ReadAll(int descriptor, std::string& content) {
    content.clear();
    std::vector<char> buffer(kReadChunkSize);
    for (;;) {
        const ssize_t result = ::read(descriptor, buffer.data(), buffer.size());
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result < 0) {
            return false;
        }
        if (result == 0) {
            return true;
        }
        content.append(buffer.data(), static_cast<std::size_t>(result));
    }
}

bool WriteAll(int descriptor, std::string_view content) {
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t result =
            ::write(descriptor, content.data() + written, content.size() - written);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(result);
    }
    return true;
}

// Flushes the folder that holds path, so that a rename into it survives a crash. Best effort:
// the new file is in place whether or not the flush succeeds.
void SyncFolderOf(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        return;
    }
    ::fsync(descriptor);
    ::close(descriptor);
}

} // namespace

AtomicFile::AtomicFile(std::string path, Links links) : m_path(std::move(path)), m_links(links) {
}

AtomicFile::~AtomicFile() {
    Discard();
}

void AtomicFile::Discard() {
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
    m_inPlace = false;
    m_inPlaceBytes.clear();
    m_inPlaceWriter = nullptr;
}

bool AtomicFile::Stage(std::string_view bytes) {
    return Stage(bytes, WriteAll);
}

bool AtomicFile::Stage(std::string_view bytes, const Writer& writer) {
    Discard();
    const bool follow = m_links == Links::Follow;
    m_target = follow ? ResolveWriteTarget(m_path) : m_path;
    mode_t permissions = kNewFilePermissions;
    struct stat status {};
    const int found =
        follow ? ::stat(m_target.c_str(), &status) : ::lstat(m_target.c_str(), &status);
    // A link that is only a name is replaced like a missing file.
    const bool existing = found == 0 && !S_ISLNK(status.st_mode);
    if (existing) {
        if (::access(m_target.c_str(), W_OK) != 0) {
            return false;
        }
        permissions = status.st_mode & kPermissionBits;
    }

    const std::filesystem::path targetPath(m_target);
    std::filesystem::path folder = targetPath.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const std::string name = std::string(kTemporaryPrefix) + targetPath.filename().string() +
                             std::string(kTemporarySuffix);
    const std::string pattern = (folder / name).string();
    std::vector<char> temporaryName(pattern.begin(), pattern.end());
    temporaryName.push_back('\0');
    const int descriptor = ::mkstemp(temporaryName.data());
    if (descriptor < 0) {
        const bool rewritable = existing && S_ISREG(status.st_mode) &&
                                FolderRefusesNewFiles(errno) &&
                                ::access(m_target.c_str(), R_OK | W_OK) == 0;
        if (!rewritable) {
            return false;
        }
        m_inPlace = true;
        m_inPlaceBytes.assign(bytes);
        m_inPlaceWriter = writer;
        return true;
    }
    bool written = writer(descriptor, bytes);
    if (written) {
        written = ::fchmod(descriptor, permissions) == 0;
    }
    if (written) {
        written = ::fsync(descriptor) == 0;
    }
    const bool closed = ::close(descriptor) == 0;
    if (!written || !closed) {
        ::unlink(temporaryName.data());
        return false;
    }
    m_temporary = temporaryName.data();
    return true;
}

bool AtomicFile::Commit() {
    if (m_inPlace) {
        const bool rewritten = CommitInPlace();
        Discard();
        return rewritten;
    }
    if (m_temporary.empty()) {
        return false;
    }
    const bool renamed = ::rename(m_temporary.c_str(), m_target.c_str()) == 0;
    if (renamed) {
        SyncFolderOf(m_target);
    } else {
        ::unlink(m_temporary.c_str());
    }
    m_temporary.clear();
    return renamed;
}

bool AtomicFile::CommitInPlace() {
    int flags = O_RDWR | O_CLOEXEC;
    if (m_links == Links::Replace) {
        flags |= O_NOFOLLOW;
    }
    const int descriptor = ::open(m_target.c_str(), flags);
    if (descriptor < 0) {
        return false;
    }
    std::string old;
    bool written = ReadAll(descriptor, old) && ::lseek(descriptor, 0, SEEK_SET) == 0;
    if (written) {
        written = m_inPlaceWriter(descriptor, m_inPlaceBytes) &&
                  ::ftruncate(descriptor, static_cast<off_t>(m_inPlaceBytes.size())) == 0 &&
                  ::fsync(descriptor) == 0;
        if (!written) {
            // The old contents fit in the space they took before.
            ::lseek(descriptor, 0, SEEK_SET);
            WriteAll(descriptor, old);
            ::ftruncate(descriptor, static_cast<off_t>(old.size()));
            ::fsync(descriptor);
        }
    }
    const bool closed = ::close(descriptor) == 0;
    return written && closed;
}

bool AtomicFile::Write(const std::string& path, std::string_view bytes, Links links) {
    AtomicFile file(path, links);
    if (!file.Stage(bytes)) {
        return false;
    }
    return file.Commit();
}
