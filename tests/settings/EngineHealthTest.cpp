#include "settings/EngineHealth.h"

#include "platform/FolderLock.h"

#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using Outcome = EngineHealth::Outcome;

// What one file holds comes back the same; only the last twenty searches stay, and the
// summary counts them.
TEST(EngineHealth, KeepsTheLastSearchesAndSummarisesThem) {
    TempDir app;
    {
        EngineHealth health(app.path());
        ASSERT_TRUE(health.Load());
        for (int i = 0; i < 25; ++i) {
            const bool ok = i % 5 != 0;
            health.Record("Web", "Bing",
                          {1000 + i, ok ? Outcome::Ok : Outcome::Failed, ok ? 100 * i : -1,
                           ok ? "" : "Error: connect()"});
        }
        health.Record("Web", "Odd\tname", {5, Outcome::Nothing, -1, "a\r\nb"});
        ASSERT_TRUE(health.Save());
    }
    EngineHealth health(app.path());
    ASSERT_TRUE(health.Load());
    EXPECT_EQ(health.IgnoredLines(), 0);
    const EngineHealth::Summary bing = health.Summarise("Web", "Bing", 0);
    EXPECT_EQ(bing.searches, 20);
    EXPECT_EQ(bing.successes, 16);
    // Searches 5..24 less the failed 10, 15, 20 (and 5): sixteen times, 1400 and 1600 in the
    // middle.
    EXPECT_EQ(bing.medianFirstResultMs, 1500);
    EXPECT_EQ(bing.lastFailure, "Error: connect()");
    EXPECT_EQ(health.Summarise("Web", "Odd name", 0).lastFailure, "a  b");
    EXPECT_EQ(health.Summarise("Web", "Nobody", 0).searches, 0);
    EXPECT_EQ(health.Summarise("Web", "Nobody", 0).medianFirstResultMs, -1);
}

// Three blocked searches in a row make an engine rest for an hour; an ok search in between
// starts the count again, and switching it on ends the rest.
TEST(EngineHealth, RestsAfterThreeBlockedSearchesInARow) {
    TempDir app;
    EngineHealth health(app.path());
    ASSERT_TRUE(health.Load());
    health.Record("Web", "Yahoo", {100, Outcome::Blocked});
    health.Record("Web", "Yahoo", {200, Outcome::Blocked});
    health.Record("Web", "Yahoo", {300, Outcome::Ok});
    health.Record("Web", "Yahoo", {400, Outcome::Blocked});
    health.Record("Web", "Yahoo", {500, Outcome::Blocked});
    EXPECT_FALSE(health.IsResting("Web", "Yahoo", 501));
    health.Record("Web", "Yahoo", {600, Outcome::Blocked});
    EXPECT_TRUE(health.IsResting("Web", "Yahoo", 601));
    EXPECT_EQ(health.Summarise("Web", "Yahoo", 601).restUntil, 600 + EngineHealth::kRestSeconds);
    EXPECT_FALSE(health.IsResting("Web", "Yahoo", 600 + EngineHealth::kRestSeconds));
    ASSERT_TRUE(health.Save());

    EngineHealth reread(app.path());
    ASSERT_TRUE(reread.Load());
    EXPECT_TRUE(reread.IsResting("Web", "Yahoo", 601));
    EXPECT_FALSE(reread.IsResting("News", "Yahoo", 601)) << "another category's Yahoo searches";
    reread.EndRest("Web", "Yahoo");
    EXPECT_FALSE(reread.IsResting("Web", "Yahoo", 601));
}

// Damaged or unknown lines are counted and dropped; a file that cannot be read is never
// rewritten.
TEST(EngineHealth, IgnoresDamagedLinesAndKeepsAnUnreadableFile) {
    TempDir app;
    const std::string path = app.file("EngineHealth.txt");
    writeFileBytes(path, "Vantorell 2001 engine health 1\r\n"
                         "search\tAsk\t10\tok\t250\t\r\n"
                         "search\tAsk\tten\tok\t250\t\r\n"
                         "search\tAsk\t10\tsplendid\t250\t\r\n"
                         "rest\tAsk\r\n"
                         "rest\tAsk\t5000\r\n"
                         "rest\tWeb\t\t5000\r\n"
                         "rest\tWeb\tAsk\tsoon\r\n"
                         "later\tWeb\tAsk\t12\tok\t250\t\r\n"
                         "search\tAsk\t11\tfailed\t-1\tError: send()\n");
    EngineHealth health(app.path());
    ASSERT_TRUE(health.Load());
    EXPECT_EQ(health.IgnoredLines(), 6);
    // Lines of the first format name no category.
    EXPECT_EQ(health.Summarise("", "Ask", 0).searches, 2);
    EXPECT_TRUE(health.IsResting("", "Ask", 4999));
    EXPECT_FALSE(health.IsResting("Web", "Ask", 1));
    EXPECT_EQ(health.Summarise("", "Ask", 0).lastFailure, "Error: send()");
    EXPECT_EQ(health.Summarise("Web", "Ask", 0).searches, 0);

    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EngineHealth folderInTheWay(app.path());
    EXPECT_FALSE(folderInTheWay.Load());
    folderInTheWay.Record("Web", "Ask", {1, Outcome::Ok});
    EXPECT_FALSE(folderInTheWay.Save());
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

// Programs that update the file at once lose none of each other's outcomes; an update that
// cannot have the folder's lock in time is lost alone and the file stays whole.
TEST(EngineHealth, UpdatesUnderTheFolderLockLoseNothing) {
    TempDir app;
    constexpr int kWriters = 8;
    std::vector<std::thread> writers;
    for (int i = 0; i < kWriters; ++i) {
        writers.emplace_back([&app, i] {
            EngineHealth health(app.path());
            health.Update([i](EngineHealth& file) {
                file.Record("Web", "E" + std::to_string(i), {i, Outcome::Ok});
                return true;
            });
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    EngineHealth health(app.path());
    ASSERT_TRUE(health.Load());
    for (int i = 0; i < kWriters; ++i) {
        EXPECT_EQ(health.Summarise("Web", "E" + std::to_string(i), 0).searches, 1) << i;
    }

    FolderLock held(app.path());
    ASSERT_TRUE(held.Acquire(0));
    const EngineHealth::UpdateResult locked = health.Update([](EngineHealth& file) {
        file.Record("Web", "Late", {1, Outcome::Ok});
        return true;
    });
    EXPECT_EQ(locked, EngineHealth::UpdateResult::Locked);
    held.Release();
    ASSERT_TRUE(health.Load());
    EXPECT_EQ(health.Summarise("Web", "Late", 0).searches, 0);
    EXPECT_EQ(health.Summarise("Web", "E0", 0).searches, 1);
}
