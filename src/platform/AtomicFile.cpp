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

} // namespace

AtomicFile::AtomicFile(std::string path) : m_path(std::move(path)) {
}

AtomicFile::~AtomicFile() {
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
    }
}

bool AtomicFile::Stage(std::string_view bytes) {
    return Stage(bytes, WriteAll);
}

bool AtomicFile::Stage(std::string_view bytes, const Writer& writer) {
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
    m_target = ResolveWriteTarget(m_path);
    mode_t permissions = kNewFilePermissions;
    struct stat status {};
    if (::stat(m_target.c_str(), &status) == 0) {
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
        return false;
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
    if (m_temporary.empty()) {
        return false;
    }
    const bool renamed = ::rename(m_temporary.c_str(), m_target.c_str()) == 0;
    if (!renamed) {
        ::unlink(m_temporary.c_str());
    }
    m_temporary.clear();
    return renamed;
}

bool AtomicFile::Write(const std::string& path, std::string_view bytes) {
    AtomicFile file(path);
    if (!file.Stage(bytes)) {
        return false;
    }
    return file.Commit();
}
