#include "extract/TextCleaner.h"

#include <gtest/gtest.h>

namespace {

std::string cleaned(std::string text) {
    TextCleaner::CleanText(text);
    return text;
}

} // namespace

TEST(TextCleaner, RemovesTagsByTheFlagWalk) {
    EXPECT_EQ(cleaned("<b>bold</b> text"), "bold text");
    EXPECT_EQ(cleaned("<br>"), "") << "a text made only of a tag";
    EXPECT_EQ(cleaned("a > b"), "a > b") << "a stray > stays";
    EXPECT_EQ(cleaned("x<a <b>y"), "x<y") << "a < inside a tag is copied";
    EXPECT_EQ(cleaned("keep<unclosed tag"), "keep") << "an unclosed tag runs to the end";
}

TEST(TextCleaner, DecodesEntitiesOncePerRuleInOrder) {
    EXPECT_EQ(cleaned("&lt;b&gt;"), "<b>") << "an encoded tag stays a literal tag";
    EXPECT_EQ(cleaned("&amp;lt;"), "&lt;") << "rule 1 has already run";
    EXPECT_EQ(cleaned("a&nbsp;b"), "a b");
    EXPECT_EQ(cleaned("&NBSP;"), "&NBSP;") << "entities match in lower case only";
    EXPECT_EQ(cleaned("&quot;;x&quot;"), "\"x\"");
    EXPECT_EQ(cleaned("a&middot;b"), "a\xA1\xA4"
                                     "b");
    EXPECT_EQ(cleaned("1&#160;2&#149;3&#39;4"), "12*3'4");
}

TEST(TextCleaner, FlattensWhiteSpaceAndDropsRunsOfFour) {
    EXPECT_EQ(cleaned("a     b"), "a b") << "five spaces become one";
    EXPECT_EQ(cleaned("a        b"), "ab") << "eight become none";
    EXPECT_EQ(cleaned("a       b"), "a   b") << "seven become three";
    EXPECT_EQ(cleaned("a\r\n  b"), "ab") << "CR LF and two spaces make four";
    EXPECT_EQ(cleaned("a\tb\nc"), "a b c");
    EXPECT_EQ(cleaned(""), "");
}
