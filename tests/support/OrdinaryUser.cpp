#include "support/OrdinaryUser.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <thread>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The capabilities that override file permission bits.
constexpr std::array<int, 3> kFileOverrides = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER};
constexpr int kBitsPerWord = 32;

// Drops the file overrides from the calling thread's effective and permitted sets. The raw
// system call changes one thread only, unlike the library's wrappers. access() checks with the
// permitted set when the real user is root, so both sets lose them.
bool DropFileOverrides() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    std::array<__user_cap_data_struct, _LINUX_CAPABILITY_U32S_3> data{};
    if (::syscall(SYS_capget, &header, data.data()) != 0) {
        return false;
    }
    for (const int capability : kFileOverrides) {
        const unsigned bit = 1U << (capability % kBitsPerWord);
        __user_cap_data_struct& word = data[static_cast<std::size_t>(capability / kBitsPerWord)];
        word.effective &= ~bit;
        word.permitted &= ~bit;
        word.inheritable &= ~bit;
    }
    return ::syscall(SYS_capset, &header, data.data()) == 0;
}

} // namespace

void runAsOrdinaryUser(const std::function<void()>& body) {
    std::thread thread([&body] {
        ASSERT_TRUE(DropFileOverrides()) << "cannot give up the file permission overrides";
        body();
    });
    thread.join();
}

std::vector<UnreadableFile> unreadableFiles(const std::string& contents) {
    return {
        {"no read permission",
         [contents](const std::string& path) {
             writeFileBytes(path, contents);
             ::chmod(path.c_str(), 0200);
         },
         contents},
        {"folder at its name",
         [](const std::string& path) { std::filesystem::create_directory(path); }, ""},
    };
}

void UnreadableFile::ExpectKept(const std::string& path) const {
    if (std::filesystem::is_regular_file(path)) {
        EXPECT_EQ(readFileBytes(path), contents);
    } else {
        EXPECT_TRUE(std::filesystem::is_empty(path));
    }
    EXPECT_EQ(entriesIn(std::filesystem::path(path).parent_path().string()), 1);
}
