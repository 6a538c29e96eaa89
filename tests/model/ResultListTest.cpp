#include "model/ResultList.h"
#include "model/UniqueResultList.h"

#include <gtest/gtest.h>

namespace {

SearchResult makeResult(const char* title, const char* address) {
    SearchResult r;
    r.title.set(title);
    r.address.set(address);
    return r;
}

} // namespace

TEST(ResultList, RemoveAndAddKeepOrderAndBounds) {
    ResultList list;
    EXPECT_EQ(list.Get(0), nullptr);
    EXPECT_EQ(list.Add(makeResult("a", "1")), 1);
    EXPECT_EQ(list.Add(makeResult("b", "2")), 2);
    list.Remove(1);
    list.Remove(5);
    list.Remove(-1);
    EXPECT_EQ(list.Add(makeResult("c", "3")), 2);
    ASSERT_NE(list.Get(list.Count() - 1), nullptr);
    EXPECT_EQ(list.Get(list.Count() - 1)->title.view(), "c");
    EXPECT_EQ(list.Get(-1), nullptr);
    EXPECT_EQ(list.Get(2), nullptr);
    list.Remove(0);
    list.Remove(0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Add(SearchResult()), 1) << "a result with empty texts is valid";
    list.Clear();
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(UniqueResultList, ComparesWholeTextsByteForByte) {
    UniqueResultList list;
    EXPECT_TRUE(list.AddUnique(makeResult("t", "http://A"), UniqueResultList::KeyKind::ByAddress));
    EXPECT_TRUE(list.AddUnique(makeResult("t", "http://a"), UniqueResultList::KeyKind::ByAddress));
    EXPECT_FALSE(list.AddUnique(makeResult("u", "http://a"), UniqueResultList::KeyKind::ByAddress));
    EXPECT_EQ(list.DuplicateCount(), 1);
    EXPECT_FALSE(list.AddUnique(makeResult("t", "x"), UniqueResultList::KeyKind::ByTitle));
    EXPECT_TRUE(list.AddUnique(makeResult("t", "http://a"), UniqueResultList::KeyKind::None));
    EXPECT_EQ(list.DuplicateCount(), 2);
    EXPECT_EQ(list.Count(), 3);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.DuplicateCount(), 2) << "clearing keeps the counter";
    EXPECT_TRUE(list.AddUnique(makeResult("t", "http://a"), UniqueResultList::KeyKind::ByTitle));
}

TEST(FixedText, CutsWhatDoesNotFitAndStopsAtZero) {
    FixedText<5> text;
    EXPECT_FALSE(text.set("abcdefgh"));
    EXPECT_EQ(text.view(), "abcd");
    EXPECT_TRUE(text.set(std::string_view("ab\0cd", 5)));
    EXPECT_EQ(text.view(), "ab");
    EXPECT_EQ(text.slot()[4], '\0');
}
