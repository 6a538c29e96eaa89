#include "platform/PrivateFolder.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The permissions of a private folder: everything for the owner, nothing for anybody else.
constexpr mode_t kPrivateFolderMode = 0700;
// Any permission of group or others.
constexpr mode_t kGroupOtherPermissions = 0077;
// Write permission of group or others.
constexpr mode_t kGroupOtherWrite = 0022;
constexpr std::string_view kRuntimeFolderVariable = "XDG_RUNTIME_DIR";
constexpr char kFolderSeparator = '/';
// mkdtemp's pattern after the name.
constexpr std::string_view kUniqueSuffix = "-XXXXXX";

// The folder made by mkdtemp in this process, kept for the next call.
std::mutex g_madeFolderMutex;
std::string g_madeFolder;

bool IsOwnRealFolder(const std::string& path, struct stat& status) {
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid();
}

std::string Joined(std::string folder, std::string_view name) {
    while (folder.size() > 1 && folder.back() == kFolderSeparator) {
        folder.pop_back();
    }
    if (folder.empty() || folder.back() != kFolderSeparator) {
        folder += kFolderSeparator;
    }
    folder += name;
    return folder;
}

// name in the runtime folder, made when missing; empty when that is not usable.
std::string RuntimeFolder(std::string_view name) {
    const char* runtime = std::getenv(std::string(kRuntimeFolderVariable).c_str());
    if (runtime == nullptr || runtime[0] != kFolderSeparator) {
        return {};
    }
    struct stat status {};
    if (!IsOwnRealFolder(runtime, status) || (status.st_mode & kGroupOtherWrite) != 0) {
        return {};
    }
    const std::string folder = Joined(runtime, name);
    if (::mkdir(folder.c_str(), kPrivateFolderMode) != 0 && errno != EEXIST) {
        return {};
    }
    if (!PrivateFolder::IsPrivate(folder)) {
        return {};
    }
    return folder;
}

// A fresh folder in the temporary folder, or the one made before when it is still private and
// still in that temporary folder.
std::string MadeFolder(std::string_view name, const std::string& temporaryFolder) {
    const std::string prefix = Joined(temporaryFolder, name);
    const std::lock_guard<std::mutex> lock(g_madeFolderMutex);
    const bool reusable = g_madeFolder.size() == prefix.size() + kUniqueSuffix.size() &&
                          g_madeFolder.compare(0, prefix.size(), prefix) == 0 &&
                          PrivateFolder::IsPrivate(g_madeFolder);
    if (reusable) {
        return g_madeFolder;
    }
    const std::string pattern = prefix + std::string(kUniqueSuffix);
    std::vector<char> made(pattern.begin(), pattern.end());
    made.push_back('\0');
    if (::mkdtemp(made.data()) == nullptr) {
        return {};
    }
    g_madeFolder = made.data();
    return g_madeFolder;
}

} // namespace

std::string PrivateFolder::Find(std::string_view name, const std::string& temporaryFolder) {
    const std::string runtime = RuntimeFolder(name);
    if (!runtime.empty()) {
        return runtime;
    }
    return MadeFolder(name, temporaryFolder);
}

bool PrivateFolder::IsPrivate(const std::string& path) {
    struct stat status {};
    return IsOwnRealFolder(path, status) && (status.st_mode & kGroupOtherPermissions) == 0;
}
