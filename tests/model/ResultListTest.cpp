#include "model/ResultList.h"
#include "model/EngineDefinition.h"
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

// Titles compare byte for byte; addresses as pages: the path's letter case counts, the host's,
// a written default port and a fragment do not.
TEST(UniqueResultList, ComparesTitlesByteForByteAndAddressesAsPages) {
    UniqueResultList list;
    EXPECT_TRUE(
        list.AddUnique(makeResult("t", "http://h/A"), UniqueResultList::KeyKind::ByAddress));
    EXPECT_TRUE(
        list.AddUnique(makeResult("t", "http://h/a"), UniqueResultList::KeyKind::ByAddress));
    EXPECT_FALSE(
        list.AddUnique(makeResult("u", "HTTP://H:80/a#top"), UniqueResultList::KeyKind::ByAddress));
    EXPECT_EQ(list.DuplicateCount(), 1);
    EXPECT_FALSE(list.AddUnique(makeResult("t", "x"), UniqueResultList::KeyKind::ByTitle));
    EXPECT_TRUE(list.AddUnique(makeResult("t", "http://h/a"), UniqueResultList::KeyKind::None));
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

TEST(FixedText, CutNeverSplitsAUtf8CharacterButLatin1IsCutAtTheLimit) {
    struct Case {
        const char* text;
        const char* stored;
        const char* why;
    };
    // A field of five bytes; the sixth byte is the first one cut away.
    const Case cases[] = {
        {"abcd\xC3\xA9", "abcd", "two-byte character across the limit"},
        {"abc\xE2\x82\xAC", "abc", "three-byte character across the limit"},
        {"ab\xF0\x9F\x98\x80", "ab", "four-byte character across the limit"},
        {"a\xF0\x9F\x98\x80"
         "b",
         "a\xF0\x9F\x98\x80", "a character that ends at the limit"},
        {"abc\xC3\xA9\xC3\xA9", "abc\xC3\xA9", "the cut falls between characters"},
        {"abcd\xE9\xE9", "abcd\xE9", "Latin-1 letters"},
        {"abcd\xE9\xA9x", "abcd\xE9", "a lead byte whose sequence breaks off"},
        {"abcd\xA9\xA9", "abcd\xA9", "continuation bytes without a lead byte"},
        {"abcd\xC0\xAF", "abcd\xC0", "an overlong form is not UTF-8"},
        {"abcd\xED\xA0\x80", "abcd\xED", "a surrogate is not UTF-8"},
        {"\xA9\xA9\xA9\xA9\xA9\xA9", "\xA9\xA9\xA9\xA9\xA9", "nothing but continuation bytes"},
    };
    for (const Case& c : cases) {
        FixedText<6> text;
        EXPECT_FALSE(text.set(c.text)) << c.why;
        EXPECT_EQ(text.view(), c.stored) << c.why;
    }

    // The records built from user text cut the same way.
    const std::string title = std::string(198, 't') + "\xC3\xA9";
    ResultList list;
    list.Add(title, "http://x/", std::string(697, 's') + "\xE2\x82\xAC", "E");
    EXPECT_EQ(list.Get(0)->title.view(), std::string(198, 't'));
    EXPECT_EQ(list.Get(0)->summary.view(), std::string(697, 's'));
    EngineDefinition engine;
    engine.setField("name", std::string(19, 'n') + "\xC3\xA9");
    EXPECT_EQ(engine.name.view(), std::string(19, 'n'));
}
