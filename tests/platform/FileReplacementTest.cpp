// Every file the program rewrites (results file, engine file, settings, query history) is
// replaced only once its new contents are complete: a full disk or a crash in the middle of the
// write leaves the old file as it was.
#include "model/EngineFile.h"
#include "results/ResultsDocument.h"
#include "results/ResultsFile.h"
#include "settings/OptionsStore.h"
#include "settings/QueryHistoryFile.h"

#include "support/OrdinaryUser.h"
#include "support/ProgramFolder.h"
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
    std::function<void(const ProgramFolder&)> prepare;
    // Replaces it with contents longer than limit bytes; returns whether it says it did.
    std::function<bool(const ProgramFolder&)> write;
    std::size_t limit;
    // Whether the write says when it failed (the query history keeps quiet).
    bool reportsFailure = true;
};

EngineDefinition engine(const std::string& grammar) {
    return ProgramFolder::Engine("Example", "http://www.example.com", "/s?q=$KEY$", grammar);
}

ResultList results(int count) {
    ResultList list;
    for (int i = 0; i < count; ++i) {
        list.Add("title", "http://example.com/", "summary", "engine");
    }
    return list;
}

std::vector<Replacement> replacements() {
    return {
        {"results file", "saved.vnr",
         [](const ProgramFolder& dir) {
             ResultsDocument::SaveResults(results(1), dir.file("saved.vnr"));
         },
         [](const ProgramFolder& dir) {
             return ResultsDocument::SaveResults(results(3), dir.file("saved.vnr"));
         },
         2 * ResultsFile::kRecordSize},
        {"engine file", "Site/Example.vnp",
         [](const ProgramFolder& dir) { dir.AddEngine(engine("<li>")); },
         [](const ProgramFolder& dir) {
             return EngineFile::RewriteEngineFile(engine("<li>"), engine(std::string(255, 'g')),
                                                  dir.file("Site")) == 1;
         },
         EngineFile::CanonicalBytes(engine("<li>")).size() + 1},
        {"settings", std::string(OptionsStore::kSettingsFileName),
         [](const ProgramFolder& dir) { OptionsStore(dir.path()).SetMaxResult(50); },
         [](const ProgramFolder& dir) {
             return OptionsStore(dir.path()).SetProxyServer(std::string(100, 'p'));
         },
         64},
        {"query history", std::string(QueryHistoryFile::kFileName),
         [](const ProgramFolder& dir) { QueryHistoryFile(dir.path()).Add("first"); },
         [](const ProgramFolder& dir) {
             QueryHistoryFile history(dir.path());
             for (int i = 0; i < QueryHistoryFile::kCapacity; ++i) {
                 history.Add("keyword " + std::to_string(i));
             }
             return true;
         },
         2 * QueryHistoryFile::kRecordSize, false},
    };
}

// Runs write in a child process that may not write files past limit bytes; returns its wait
// status, whose exit code is 1 when the write said it succeeded.
int writeLimited(const std::function<bool()>& write, std::size_t limit, Failure failure) {
    const pid_t child = ::fork();
    if (child == 0) {
        // A write past the limit fails with EFBIG when the signal is ignored, and kills the
        // process (without a core file) when it is not.
        std::signal(SIGXFSZ, failure == Failure::DiskFull ? SIG_IGN : SIG_DFL);
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        const rlimit fileSize{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
        ::_exit(write() ? 1 : 0);
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
            ProgramFolder dir;
            replacement.prepare(dir);
            const std::string path = dir.file(replacement.file);
            const std::string before = readFileBytes(path);
            ASSERT_FALSE(before.empty());
            ASSERT_LT(before.size(), replacement.limit);
            const std::set<std::string> files = namesIn(dir.path());

            const int status =
                writeLimited([&] { return replacement.write(dir); }, replacement.limit, failure);
            EXPECT_EQ(readFileBytes(path), before);
            if (failure == Failure::DiskFull) {
                ASSERT_TRUE(WIFEXITED(status));
                EXPECT_EQ(WEXITSTATUS(status), replacement.reportsFailure ? 0 : 1);
                EXPECT_EQ(namesIn(dir.path()), files) << "the unfinished file is removed";
            } else {
                ASSERT_TRUE(WIFSIGNALED(status)) << "the write did run past the limit";
                EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
            }

            // With room again, the same write replaces the file.
            EXPECT_TRUE(replacement.write(dir));
            EXPECT_GT(readFileBytes(path).size(), replacement.limit);
        }
    }
}

TEST(FileReplacement, ReadOnlyFolderRewritesTheFileInPlaceOrKeepsItWhole) {
    for (const Replacement& replacement : replacements()) {
        SCOPED_TRACE(replacement.name);
        ProgramFolder dir;
        replacement.prepare(dir);
        const std::string path = dir.file(replacement.file);
        const std::string before = readFileBytes(path);
        const std::set<std::string> files = namesIn(dir.path());
        const std::string folder = std::filesystem::path(path).parent_path().string();
        ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);

        runAsOrdinaryUser([&] {
            // The disk fills up during the rewrite: the old contents are written back.
            const int status = writeLimited([&] { return replacement.write(dir); },
                                            replacement.limit, Failure::DiskFull);
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), replacement.reportsFailure ? 0 : 1);
            EXPECT_EQ(readFileBytes(path), before);

            EXPECT_TRUE(replacement.write(dir));
        });
        EXPECT_GT(readFileBytes(path).size(), replacement.limit) << "the new contents are there";
        EXPECT_EQ(namesIn(dir.path()), files);
        ::chmod(folder.c_str(), 0755);
    }
}
