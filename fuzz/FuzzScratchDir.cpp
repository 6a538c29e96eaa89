#include "FuzzScratchDir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A memory file system when the machine has one, else the temporary folder.
constexpr const char* kMemoryFolder = "/dev/shm";
constexpr const char* kFolderPattern = "/vantorell-fuzz-XXXXXX";
constexpr mode_t kFilePermissions = 0644;

} // namespace

const FuzzScratchDir& FuzzScratchDir::Instance() {
    static const FuzzScratchDir folder;
    return folder;
}

FuzzScratchDir::FuzzScratchDir() {
    std::error_code error;
    std::string parent = kMemoryFolder;
    if (!std::filesystem::is_directory(parent, error)) {
        parent = std::filesystem::temp_directory_path().string();
    }
    const std::string pattern = parent + kFolderPattern;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    m_path = name.data();
}

FuzzScratchDir::~FuzzScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

const std::string& FuzzScratchDir::Path() const {
    return m_path;
}

std::string FuzzScratchDir::File(std::string_view name) const {
    return m_path + "/" + std::string(name);
}

void FuzzScratchDir::Write(std::string_view name, std::string_view bytes) const {
    const std::string path = File(name);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kFilePermissions);
    if (fd < 0) {
        std::perror(path.c_str());
        std::abort();
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (count <= 0) {
            std::perror(path.c_str());
            std::abort();
        }
        written += static_cast<std::size_t>(count);
    }
    ::close(fd);
}
