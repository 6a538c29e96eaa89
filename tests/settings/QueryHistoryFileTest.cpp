#include "settings/QueryHistoryFile.h"

#include "settings/OptionsStore.h"

#include "support/OrdinaryUser.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

std::string records(const std::vector<std::string>& keywords) {
    std::string bytes;
    for (std::string keyword : keywords) {
        keyword.resize(QueryHistoryFile::kRecordSize, '\0');
        bytes += keyword;
    }
    return bytes;
}

// One search with history on: a history object that adds the keyword and goes.
void search(const TempDir& dir, const std::string& keyword) {
    QueryHistoryFile history(dir.path());
    history.Add(keyword);
}

// What the keyword combo lists when it drops down.
std::vector<std::string> dropDown(const TempDir& dir) {
    QueryHistoryFile history(dir.path());
    std::vector<std::string> keywords;
    std::string keyword;
    while (history.GetNext(keyword) != 0) {
        keywords.push_back(keyword);
    }
    return keywords;
}

} // namespace

TEST(QueryHistoryFile, KeepsTheLastTenKeywordsInSearchOrder) {
    TempDir dir;
    std::vector<std::string> searched;
    for (int i = 0; i < 11; ++i) {
        searched.push_back("keyword " + std::to_string(i));
        search(dir, searched.back());
    }
    searched.erase(searched.begin());
    EXPECT_EQ(readFileBytes(dir.file("Query.His")), records(searched));
    EXPECT_EQ(dropDown(dir), searched);
    EXPECT_EQ(readFileBytes(dir.file("Query.His")), records(searched));
    // A repeat with ten held drops nothing.
    search(dir, "keyword 5");
    EXPECT_EQ(readFileBytes(dir.file("Query.His")), records(searched));

    // A longer file reads up to the tenth record, a shorter one its whole records; both are
    // written back so.
    std::vector<std::string> twelve;
    for (char c = 'a'; c < 'a' + 12; ++c) {
        twelve.push_back(std::string(1, c));
    }
    const std::vector<std::string> firstTen(twelve.begin(), twelve.begin() + 10);
    writeFileBytes(dir.file("Query.His"), records(twelve));
    EXPECT_EQ(dropDown(dir), firstTen);
    EXPECT_EQ(readFileBytes(dir.file("Query.His")), records(firstTen));

    writeFileBytes(dir.file("Query.His"), records({"one", "two"}) + "partial");
    EXPECT_EQ(dropDown(dir), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(readFileBytes(dir.file("Query.His")), records({"one", "two"}));
}

TEST(QueryHistoryFile, RepeatedKeywordKeepsItsPlaceAndCaseCounts) {
    TempDir dir;
    search(dir, "cats");
    search(dir, "dogs");
    search(dir, "cats");
    search(dir, "Cats");
    search(dir, std::string("dogs\0more", 9)); // a keyword ends at its first zero byte
    EXPECT_EQ(readFileBytes(dir.file("Query.His")), records({"cats", "dogs", "Cats"}));

    // Keywords are stored cut to 254 bytes and found again in that form.
    const std::string overlong = std::string(254, 'o') + "xyz";
    search(dir, std::string(254, 'f'));
    search(dir, overlong);
    search(dir, overlong);
    EXPECT_EQ(readFileBytes(dir.file("Query.His")),
              records({"cats", "dogs", "Cats", std::string(254, 'f'), std::string(254, 'o')}));

    // The cut steps back to the start of a UTF-8 character it would split; Latin-1 text is
    // cut at the byte limit.
    const std::string utf8 = std::string(253, 'u') + "\xC3\xA9";
    const std::string latin1 = std::string(253, 'l') + "\xE9\xE9";
    search(dir, utf8);
    search(dir, utf8);
    search(dir, latin1);
    EXPECT_EQ(readFileBytes(dir.file("Query.His")),
              records({"cats", "dogs", "Cats", std::string(254, 'f'), std::string(254, 'o'),
                       std::string(253, 'u'), std::string(253, 'l') + "\xE9"}));
}

TEST(QueryHistoryFile, FindAndIterationQuirks) {
    TempDir dir;
    {
        // An empty history takes the keyword Find asks for.
        QueryHistoryFile history(dir.path());
        EXPECT_TRUE(history.Find("first"));
        EXPECT_FALSE(history.Find("second"));
    }
    EXPECT_EQ(readFileBytes(dir.file("Query.His")), records({"first"}));

    // Iteration covers what was loaded; its end reloads the file, losing the unsaved keyword.
    QueryHistoryFile history(dir.path());
    history.Add("new");
    std::string keyword;
    EXPECT_EQ(history.GetNext(keyword), 1);
    EXPECT_EQ(keyword, "first");
    EXPECT_EQ(history.GetNext(keyword), 0);
    EXPECT_EQ(keyword, "");
    EXPECT_EQ(history.Count(), 1);
}

TEST(QueryHistoryFile, ClearLeavesAnEmptyFile) {
    TempDir dir;
    {
        QueryHistoryFile history(dir.path());
        history.Clear();
    }
    EXPECT_EQ(readFileBytes(dir.file("Query.His")), "");
    EXPECT_TRUE(std::filesystem::exists(dir.file("Query.His")));

    search(dir, "a");
    {
        QueryHistoryFile history(dir.path());
        history.Add("b");
        history.Clear();
    }
    EXPECT_EQ(readFileBytes(dir.file("Query.His")), "");
    EXPECT_TRUE(dropDown(dir).empty());
    EXPECT_EQ(entriesIn(dir.path()), 1) << "no temporary file stays behind";
}

TEST(QueryHistoryFile, ReadOnlyFileIsReadButNeverChanged) {
    TempDir dir;
    search(dir, "kept");
    ASSERT_EQ(::chmod(dir.file("Query.His").c_str(), 0444), 0);
    search(dir, "added");
    {
        QueryHistoryFile history(dir.path());
        history.Clear();
    }
    EXPECT_EQ(readFileBytes(dir.file("Query.His")), records({"kept"}));
    EXPECT_EQ(dropDown(dir), std::vector<std::string>{"kept"});
}

TEST(QueryHistoryFile, FileThatCannotBeReadIsKeptWhole) {
    const std::string before = records({"one", "two", "three"});
    for (const UnreadableFile& c : unreadableFiles(before)) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.file("Query.His");
        c.prepare(path);
        runAsOrdinaryUser([&] {
            search(dir, "new");
            EXPECT_TRUE(dropDown(dir).empty());
        });
        c.ExpectKept(path);
    }
}

TEST(QueryHistoryFile, PathAlwaysGetsTheSeparator) {
    EXPECT_EQ(QueryHistoryFile("/nonexistent/app/").Path(), "/nonexistent/app//Query.His");
}
