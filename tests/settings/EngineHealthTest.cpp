#include "settings/EngineHealth.h"

#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

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
            health.Record("Bing", {1000 + i, ok ? Outcome::Ok : Outcome::Failed, ok ? 100 * i : -1,
                                   ok ? "" : "Error: connect()"});
        }
        health.Record("Odd\tname", {5, Outcome::Nothing, -1, "a\r\nb"});
        ASSERT_TRUE(health.Save());
    }
    EngineHealth health(app.path());
    ASSERT_TRUE(health.Load());
    EXPECT_EQ(health.IgnoredLines(), 0);
    EXPECT_EQ(health.Engines(), (std::vector<std::string>{"Bing", "Odd name"}));
    const EngineHealth::Summary bing = health.Summarise("Bing", 0);
    EXPECT_EQ(bing.searches, 20);
    EXPECT_EQ(bing.successes, 16);
    // Searches 5..24 less the failed 10, 15, 20 (and 5): sixteen times, 1400 and 1600 in the
    // middle.
    EXPECT_EQ(bing.medianFirstResultMs, 1500);
    EXPECT_EQ(bing.lastFailure, "Error: connect()");
    EXPECT_EQ(health.Summarise("Odd name", 0).lastFailure, "a  b");
    EXPECT_EQ(health.Summarise("Nobody", 0).searches, 0);
    EXPECT_EQ(health.Summarise("Nobody", 0).medianFirstResultMs, -1);
}

// Three blocked searches in a row make an engine rest for an hour; an ok search in between
// starts the count again, and switching it on ends the rest.
TEST(EngineHealth, RestsAfterThreeBlockedSearchesInARow) {
    TempDir app;
    EngineHealth health(app.path());
    ASSERT_TRUE(health.Load());
    health.Record("Yahoo", {100, Outcome::Blocked});
    health.Record("Yahoo", {200, Outcome::Blocked});
    health.Record("Yahoo", {300, Outcome::Ok});
    health.Record("Yahoo", {400, Outcome::Blocked});
    health.Record("Yahoo", {500, Outcome::Blocked});
    EXPECT_FALSE(health.IsResting("Yahoo", 501));
    health.Record("Yahoo", {600, Outcome::Blocked});
    EXPECT_TRUE(health.IsResting("Yahoo", 601));
    EXPECT_EQ(health.Summarise("Yahoo", 601).restUntil, 600 + EngineHealth::kRestSeconds);
    EXPECT_FALSE(health.IsResting("Yahoo", 600 + EngineHealth::kRestSeconds));
    ASSERT_TRUE(health.Save());

    EngineHealth reread(app.path());
    ASSERT_TRUE(reread.Load());
    EXPECT_TRUE(reread.IsResting("Yahoo", 601));
    reread.EndRest("Yahoo");
    EXPECT_FALSE(reread.IsResting("Yahoo", 601));
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
                         "future\tkind\tof\tline\r\n"
                         "search\tAsk\t11\tfailed\t-1\tError: send()\n");
    EngineHealth health(app.path());
    ASSERT_TRUE(health.Load());
    EXPECT_EQ(health.IgnoredLines(), 4);
    EXPECT_EQ(health.Summarise("Ask", 0).searches, 2);
    EXPECT_EQ(health.Summarise("Ask", 0).lastFailure, "Error: send()");

    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EngineHealth folderInTheWay(app.path());
    EXPECT_FALSE(folderInTheWay.Load());
    folderInTheWay.Record("Ask", {1, Outcome::Ok});
    EXPECT_FALSE(folderInTheWay.Save());
    EXPECT_TRUE(std::filesystem::is_directory(path));
}
