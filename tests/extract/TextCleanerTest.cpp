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

TEST(TextCleaner, CollapsesEveryRunOfBlanksToOneAsTheLastStep) {
    struct Case {
        const char* text;
        const char* expected;
        const char* why;
    };
    const Case cases[] = {
        {"alpha\n   beta", "alpha beta", "an indented line keeps its words apart"},
        {"a    b", "a b", "four spaces"},
        {"a     b", "a b", "five spaces"},
        {"a        b", "a b", "eight spaces"},
        {"a\r\n  b", "a b", "CR LF and two spaces"},
        {"a\tb\nc", "a b c", "a tab and a line feed"},
        {"a&nbsp; &nbsp;b", "a b", "decoded spaces join the run"},
        {"  ends  ", " ends ", "ends keep one blank"},
        {"\t\n \r", " ", "only blanks"},
        {"<b> x </b> <i> y</i>", " x y", "blanks left beside removed tags"},
        {"", "", "empty"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cleaned(c.text), c.expected) << c.why;
    }
}
