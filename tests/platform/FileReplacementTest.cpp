// Every file the program rewrites (results file, engine file, settings, query history) is
// replaced only once its new contents are complete: a full disk or a crash in the middle of the
// write leaves the old file as it was.
#include "model/EngineFile.h"
#include "results/ResultsFile.h"
#include "settings/OptionsStore.h"
#include "settings/QueryHistoryFile.h"

#include "support/OrdinaryUser.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <set>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// How the write is cut short: by a full disk (the write fails and the program goes on) or by
// the process dying in the middle of it.
enum class Failure { DiskFull, Crash };

struct Replacement {
    const char* name;
    // The file, in the program folder.
    std::string file;
    // Puts the old file in place.
    std::function<void(const TempDir&)> prepare;
    // Replaces it with contents longer than limit bytes.
    std::function<void(const TempDir&)> write;
    std::size_t limit;
};

EngineDefinition engine(const std::string& grammar) {
    EngineDefinition def;
    def.name.set("Example");
    def.website.set("http://www.example.com");
    def.path.set("/s?q=$KEY$");
    def.grm.set(grammar);
    def.enable.set("TRUE");
    def.category.set("The Web");
    return def;
}

ResultList results(int count) {
    ResultList list;
    for (int i = 0; i < count; ++i) {
        list.Add("title", "http://example.com/", "summary", "engine");
    }
    return list;
}

std::vector<Replacement> replacements() {
    const std::string longGrammar(255, 'g');
    return {
        {"results file", "saved.vnr",
         [](const TempDir& dir) {
             ResultsFile::WriteResultsFile(results(1), dir.file("saved.vnr"));
         },
         [](const TempDir& dir) {
             ResultsFile::WriteResultsFile(results(3), dir.file("saved.vnr"));
         },
         2 * ResultsFile::kRecordSize},
        {"engine file", "Site/example.vnp",
         [](const TempDir& dir) {
             std::filesystem::create_directory(dir.file("Site"));
             writeFileBytes(dir.file("Site/example.vnp"),
                            EngineFile::CanonicalBytes(engine("<li>")));
         },
         [longGrammar](const TempDir& dir) {
             EngineFile::RewriteEngineFile(engine("<li>"), engine(longGrammar), dir.file("Site"));
         },
         EngineFile::CanonicalBytes(engine("<li>")).size() + 1},
        {"settings", std::string(OptionsStore::kSettingsFileName),
         [](const TempDir& dir) { OptionsStore(dir.path()).SetMaxResult(50); },
         [](const TempDir& dir) { OptionsStore(dir.path()).SetProxyServer(std::string(100, 'p')); },
         64},
        {"query history", std::string(QueryHistoryFile::kFileName),
         [](const TempDir& dir) { QueryHistoryFile(dir.path()).Add("first"); },
         [](const TempDir& dir) {
             QueryHistoryFile history(dir.path());
             for (int i = 0; i < QueryHistoryFile::kCapacity; ++i) {
                 history.Add("keyword " + std::to_string(i));
             }
         },
         2 * QueryHistoryFile::kRecordSize},
    };
}

// Runs write in a child process that may not write files past limit bytes; returns its wait
// status.
int writeLimited(const std::function<void()>& write, std::size_t limit, Failure failure) {
    const pid_t child = ::fork();
    if (child == 0) {
        // A write past the limit fails with EFBIG when the signal is ignored, and kills the
        // process (without a core file) when it is not.
        std::signal(SIGXFSZ, failure == Failure::DiskFull ? SIG_IGN : SIG_DFL);
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        const rlimit fileSize{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
        write();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        names.insert(entry.path().lexically_relative(folder).string());
    }
    return names;
}

} // namespace

TEST(FileReplacement, FullDiskOrCrashMidWriteLeavesTheOldFileWhole) {
    for (const Replacement& replacement : replacements()) {
        for (const Failure failure : {Failure::DiskFull, Failure::Crash}) {
            SCOPED_TRACE(std::string(replacement.name) +
                         (failure == Failure::DiskFull ? ", disk full" : ", crash"));
            TempDir dir;
            replacement.prepare(dir);
            const std::string path = dir.file(replacement.file);
            const std::string before = readFileBytes(path);
            ASSERT_FALSE(before.empty());
            ASSERT_LT(before.size(), replacement.limit);
            const std::set<std::string> files = namesIn(dir.path());

            const int status =
                writeLimited([&] { replacement.write(dir); }, replacement.limit, failure);
            EXPECT_EQ(readFileBytes(path), before);
            if (failure == Failure::DiskFull) {
                ASSERT_TRUE(WIFEXITED(status));
                EXPECT_EQ(namesIn(dir.path()), files) << "the unfinished file is removed";
            } else {
                ASSERT_TRUE(WIFSIGNALED(status)) << "the write did run past the limit";
                EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
            }

            // With room again, the same write replaces the file.
            replacement.write(dir);
            EXPECT_GT(readFileBytes(path).size(), replacement.limit);
        }
    }
}

TEST(FileReplacement, ReadOnlyFolderRewritesTheFileInPlaceOrKeepsItWhole) {
    for (const Replacement& replacement : replacements()) {
        SCOPED_TRACE(replacement.name);
        TempDir dir;
        replacement.prepare(dir);
        const std::string path = dir.file(replacement.file);
        const std::string before = readFileBytes(path);
        const std::set<std::string> files = namesIn(dir.path());
        const std::string folder = std::filesystem::path(path).parent_path().string();
        ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);

        runAsOrdinaryUser([&] {
            // The disk fills up during the rewrite: the old contents are written back.
            const int status =
                writeLimited([&] { replacement.write(dir); }, replacement.limit, Failure::DiskFull);
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(readFileBytes(path), before);

            replacement.write(dir);
        });
        EXPECT_GT(readFileBytes(path).size(), replacement.limit) << "the new contents are there";
        EXPECT_EQ(namesIn(dir.path()), files);
        ::chmod(folder.c_str(), 0755);
    }
}
