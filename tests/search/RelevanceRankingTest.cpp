#include "search/RelevanceRanking.h"

#include <gtest/gtest.h>

namespace {

ResultList listOf(const std::vector<std::pair<const char*, const char*>>& rows) {
    ResultList list;
    for (const auto& [address, engine] : rows) {
        list.Add(SearchResult("t", address, "s", engine));
    }
    return list;
}

double fused(std::initializer_list<int> ranks) {
    double score = 0;
    for (const int rank : ranks) {
        score += 1.0 / (RelevanceRanking::kFusionConstant + rank);
    }
    return score;
}

} // namespace

// Ranks count every result an engine gave; a page an engine repeats keeps its first place;
// addresses that name the same page merge; ties go to the best rank, then to arrival.
TEST(RelevanceRanking, FusesEachEnginesRanksIntoOneOrder) {
    const ResultList arrived = listOf({
        {"http://a.example/", "One"},         // One 1
        {"http://solo.example/", "One"},      // One 2
        {"http://b.example/x", "One"},        // One 3
        {"http://a.example/", "One"},         // One 4: a again, still rank 1
        {"http://B.example:80/x#top", "Two"}, // Two 1: the page of b
        {"http://late.example/", "Two"},      // Two 2: same score as solo, but arrived later
        {"http://a.example", "Two"},          // Two 3: the page of a
    });
    RelevanceRanking ranking;
    for (int32_t i = 0; i < arrived.Count(); ++i) {
        ranking.Note(arrived.Get(i)->engine.view(), arrived.Get(i)->address.view());
    }
    const RelevanceRanking::Page* a = ranking.Find("HTTP://a.example/#x");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->engines, (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(a->ranks, (std::vector<int32_t>{1, 3}));
    EXPECT_DOUBLE_EQ(a->score, fused({1, 3}));
    EXPECT_DOUBLE_EQ(ranking.Find("http://b.example/x")->score, fused({3, 1}));
    EXPECT_EQ(ranking.Find("http://never.example/"), nullptr);

    // a (1,3) and b (3,1) tie on score and best rank: a arrived first. solo and late tie on
    // score and best rank (2): solo arrived first. The unknown row goes last.
    ResultList listed = arrived;
    listed.Add(SearchResult("t", "http://opened.example/", "s", "File"));
    EXPECT_EQ(ranking.Order(listed), (std::vector<int32_t>{0, 3, 6, 2, 4, 1, 5, 7}));

    std::vector<const RelevanceRanking::Page*> pages;
    const ResultList merged = ranking.Merged(listed, pages);
    ASSERT_EQ(merged.Count(), 5);
    ASSERT_EQ(pages.size(), 5u);
    EXPECT_EQ(merged.Get(0)->engine.view(), "One, Two");
    EXPECT_EQ(pages[0], a);
    EXPECT_EQ(merged.Get(1)->address.view(), "http://b.example/x");
    EXPECT_EQ(merged.Get(3)->address.view(), "http://late.example/");
    EXPECT_EQ(pages[4], nullptr);
    EXPECT_EQ(RelevanceRanking::EnginesOf(*merged.Get(4), nullptr),
              (std::vector<std::string>{"File"}));
    EXPECT_EQ(RelevanceRanking::EnginesOf(SearchResult("", "", "", "Bing, Ask"), nullptr),
              (std::vector<std::string>{"Bing", "Ask"}));

    // More engines beat one engine's first place once their ranks are close enough.
    RelevanceRanking agreement;
    agreement.Note("One", "http://top.example/");
    for (const char* engine : {"One", "Two", "Three"}) {
        agreement.Note(engine, "http://shared.example/");
    }
    EXPECT_TRUE(RelevanceRanking::Before(*agreement.Find("http://shared.example/"),
                                         *agreement.Find("http://top.example/")));
    agreement.Clear();
    EXPECT_EQ(agreement.Find("http://top.example/"), nullptr);
}
