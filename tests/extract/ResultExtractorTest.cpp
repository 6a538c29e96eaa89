#include "extract/ResultExtractor.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct GrammarRun {
    std::string grammar;
    std::string siteRoot = "http://root";
    std::string engine = "Engine";
};

// Feeds page in pieces of the given sizes (cycling through them) and returns every result.
ResultList extract(const GrammarRun& run, const std::string& page,
                   const std::vector<std::size_t>& pieces) {
    ResultExtractor extractor;
    extractor.SetGrammar(run.grammar);
    extractor.SetEngineName(run.engine);
    extractor.SetSiteRoot(run.siteRoot);
    ResultList list;
    std::size_t offset = 0;
    std::size_t piece = 0;
    while (offset < page.size()) {
        const std::size_t size = std::min(pieces[piece % pieces.size()], page.size() - offset);
        extractor.AppendInput(page.data() + offset, size);
        extractor.Feed(list);
        offset += size;
        ++piece;
    }
    return list;
}

ResultList extractWhole(const GrammarRun& run, const std::string& page) {
    return extract(run, page, {page.size() + 1});
}

std::string describe(const ResultList& list) {
    std::string text;
    for (int32_t i = 0; i < list.Count(); ++i) {
        const SearchResult* r = list.Get(i);
        text += std::string(r->title.view()) + "|" + std::string(r->address.view()) + "|" +
                std::string(r->summary.view()) + "|" + std::string(r->engine.view()) + "\n";
    }
    return text;
}

} // namespace

TEST(ResultExtractor, SplitsGrammarIntoPatternAndDirectives) {
    ResultExtractor extractor;
    extractor.SetGrammar("A$URL$B$NAME$C$END$");
    EXPECT_EQ(extractor.pattern(), "A$B$C$");
    EXPECT_EQ(extractor.directives(), "URL$NAME$END$");
}

TEST(ResultExtractor, WorkedExampleAndMergedResult) {
    const GrammarRun run{"A$URL$B$NAME$C$END$"};
    EXPECT_EQ(describe(extractWhole(run, "A/xBTitleC\nZ")), "Title|http://root/x||Engine\n");
    // The page goes on with the first literal after END: the next result's texts join the
    // same buffers and one merged result comes out at the following END.
    EXPECT_EQ(describe(extractWhole(run, "A/xBTitleC\nA/yBMoreC\nZ")),
              "TitleMore|http://root/x/y||Engine\n");
    // Nothing is finished when the page ends.
    EXPECT_EQ(extractWhole(run, "A/xBTitleC\n").Count(), 0);
}

TEST(ResultExtractor, CyclicPatternJoinsTailAndHead) {
    // The text after the last directive and the text before the first form one literal: only
    // the first result is found by "<r>" alone, later ones need "x<r>".
    const GrammarRun run{"<r>$URL$|$NAME$</r>$END$x"};
    const std::string page = "<r>a|one</r>.-x<r>b|two</r>.-<r>c|lost</r>.-x<r>d|four</r>.-";
    EXPECT_EQ(describe(extractWhole(run, page)),
              "one|http://root/a||Engine\ntwo|http://root/b||Engine\n"
              "four|http://root/d||Engine\n");
}

TEST(ResultExtractor, LiteralsAndFieldsAtTheirEdges) {
    // A grammar that begins with a directive never moves.
    EXPECT_EQ(extractWhole({"$URL$B$END$"}, "xxBxxBxx").Count(), 0);
    // Two directives in a row stop extraction where the empty literal stands.
    EXPECT_EQ(extractWhole({"A$URL$$NAME$B$END$"}, "A1B.A2B.").Count(), 0);
    // A field whose page text is empty swallows the first byte of its closing literal and
    // runs on to the next occurrence.
    EXPECT_EQ(describe(extractWhole({"[$NAME$]$END$"}, "[]x]..")), "]x|http://root/||Engine\n");
    // An unknown word (here the empty one) skips everything up to the next literal.
    EXPECT_EQ(describe(extractWhole({"[$$(ignored)$NAME$]$END$"}, "[zzz(ignored)T]..")),
              "T|http://root/||Engine\n");
    // A literal whose first byte repeats just before it is missed there.
    EXPECT_EQ(extractWhole({"ab$NAME$c$END$"}, "aabXc..").Count(), 0);
    // A grammar without END never yields a result.
    EXPECT_EQ(extractWhole({"A$NAME$B"}, "AxBAxB").Count(), 0);
}

TEST(ResultExtractor, OverLongCaptureKeepsWhatCameAfterItsLastRestart) {
    const std::string withMarker = std::string(400, 'a') + std::string(50, 'b');
    ResultList list = extractWhole({"<t>$NAME$</t>$END$"}, "<t>" + withMarker + "</t>..");
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Get(0)->title.view(), std::string(50, 'b'));

    // Cleaning and cutting: the title is cut to 199 bytes, the summary to 699, the address 299.
    const std::string longText(390, 'n');
    const std::string memo(2100, 'm');
    const std::string url = "/" + std::string(850, 'u');
    list = extractWhole({"<u>$URL$<t>$NAME$<m>$MEMO$</m>$END$"},
                        "<u>" + url + "<t>" + longText + "<m>" + memo + "</m>..");
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Get(0)->title.size(), 199u);
    EXPECT_EQ(list.Get(0)->summary.size(), 699u);
    EXPECT_EQ(list.Get(0)->address.size(), 299u);
    EXPECT_EQ(list.Get(0)->address.view().substr(0, 12), "http://root/");
}

// Relative addresses are resolved against the site root after trimming blanks; absolute ones
// (any scheme, or "(javascript)") are kept, and GoTo's addresses are never prefixed.
TEST(ResultExtractor, MakesAddressesAbsolute) {
    const struct {
        const char* root;
        const char* engine;
        const char* address;
        const char* expected;
    } cases[] = {
        {"http://site.example", "Engine", "/a/b", "http://site.example/a/b"},
        {"http://site.example", "Engine", "page.html", "http://site.example/page.html"},
        {"http://site.example", "Engine", "ftp://f.example/x", "ftp://f.example/x"},
        {"http://site.example", "Engine", "http://h.example/", "http://h.example/"},
        {"http://site.example", "Engine", "mailto:me@example.com", "mailto:me@example.com"},
        {"http://site.example", "Engine", "https://s.example/", "https://s.example/"},
        {"http://site.example", "Engine", "(javascript)", "(javascript)"},
        {"http://site.example", "GoTo", "/a", "/a"},
        {"http://h", "Engine", "  /q", "http://h/q"},
        {"http://h", "Engine", "\n\t/q \r\n", "http://h/q"},
        {"http://h", "Engine", "  page.html ", "http://h/page.html"},
        {"http://h", "Engine", "  http://t.example/&amp;x  ", "http://t.example/&x"},
        {"http://h", "Engine", "//cdn.example/p", "http://cdn.example/p"},
        {"https://site", "Engine", "//cdn.example/p", "https://cdn.example/p"},
        {"HTTPS://site:8443", "Engine", " //cdn.example/p", "HTTPS://cdn.example/p"},
        {"https://site", "Engine", "/p", "https://site/p"},
        {"", "Engine", "//cdn.example/p", "//cdn.example/p"},
        {"https://site", "GoTo", "//cdn.example/p", "//cdn.example/p"},
        {"https://site", "GoTo", "  /a ", "/a"},
    };
    for (const auto& c : cases) {
        const GrammarRun run{"<u>$URL$</u>$END$", c.root, c.engine};
        ResultList list = extractWhole(run, std::string("<u>") + c.address + "</u>..");
        ASSERT_EQ(list.Count(), 1) << c.address;
        EXPECT_EQ(list.Get(0)->address.view(), c.expected) << c.root << " " << c.address;
    }
}

TEST(ResultExtractor, SiteRootIsCutBeforeTheFirstSlashAfterTheScheme) {
    EXPECT_EQ(ResultExtractor::SiteRootFromUrl("http://www.example.com/search?q=x"),
              "http://www.example.com");
    EXPECT_EQ(ResultExtractor::SiteRootFromUrl("http://www.example.com"), "");
    EXPECT_EQ(ResultExtractor::SiteRootFromUrl("https://www.example.com/search"),
              "https://www.example.com");
    EXPECT_EQ(ResultExtractor::SiteRootFromUrl("HTTPS://h.example:8443/s"),
              "HTTPS://h.example:8443");
    EXPECT_EQ(ResultExtractor::SiteRootFromUrl("http:www.example.com/a"), "http:www.example.com");
    EXPECT_EQ(ResultExtractor::SiteRootFromUrl(""), "");
}

// Input after StopAccepting is consumed but gives no result; a piece counts only up to its
// first zero byte.
TEST(ResultExtractor, StopAcceptingAndZeroBytesDropInput) {
    for (const bool stop : {true, false}) {
        ResultExtractor extractor;
        extractor.SetGrammar("A$NAME$B$END$");
        ResultList list;
        const std::string first = stop ? "AoneB.." : std::string("AoneB.\0AhiddenB..", 17);
        extractor.AppendInput(first.data(), first.size());
        if (stop) {
            extractor.Feed(list);
            extractor.StopAccepting();
        }
        const std::string second = stop ? "AtwoB.." : ".";
        extractor.AppendInput(second.data(), second.size());
        extractor.Feed(list);
        ASSERT_EQ(list.Count(), 1) << stop;
        EXPECT_EQ(list.Get(0)->title.view(), "one");
    }
}

// Grammars for real answer pages of engines (shared fixtures, serp/<engine>/); each must give
// the same results however the page is cut into pieces.
struct SavedPage {
    const char* file;
    const char* grammar;
    int32_t expected;
};

const SavedPage kSavedPages[] = {
    {"duckduckgo/bisohns-2021.html",
     "class=\"result__a\" href=\"$URL$\">$NAME$</a>$$result__snippet\" href=\"$$\">$MEMO$</a>$END$",
     28},
    {"bing/serpparser-2021.html",
     "<li class=\"b_algo\">$$<a href=\"$URL$\" h=\"ID=SERP,$$\">$NAME$</a></h2>$$div "
     "class=\"b_caption\">$$<p>$MEMO$</p>$END$",
     10},
    {"ask/bisohns-2021.html",
     "PartialSearchResults-item-title-link result-link\"$$href='$URL$'$$rel='noopener "
     "noreferrer' >$NAME$</a>$$item-abstract\">$MEMO$</p>$END$",
     10},
    {"google/serpparser-2023.html",
     "<div class=\"egMi0 kCrYT\"><a href=\"/url?q=$URL$&amp;sa=U$$UwRFLe\" "
     "style=\"-webkit-line-clamp:2\">$NAME$</div></h3>$$s3v9rd AP7Wnd\">$$s3v9rd "
     "AP7Wnd\">$MEMO$</div>$END$",
     10},
};

TEST(ResultExtractor, SavedPagesGiveTheSameResultsInAnyPieces) {
    for (const SavedPage& saved : kSavedPages) {
        SCOPED_TRACE(saved.file);
        const std::string path = fixturePath("serp/" + std::string(saved.file));
        if (path.empty()) {
            continue; // the real pages live only in the shared fixtures
        }
        const std::string page = readFileBytes(path);
        const GrammarRun run{saved.grammar, "http://www.engine.example"};
        const std::string whole = describe(extractWhole(run, page));
        EXPECT_EQ(extractWhole(run, page).Count(), saved.expected);
        for (const std::size_t size : {1, 2, 3, 7, 13, 64, 1000, 4095}) {
            EXPECT_EQ(describe(extract(run, page, {std::size_t(size)})), whole) << size;
        }
        std::mt19937 random(12345);
        std::uniform_int_distribution<std::size_t> sizes(1, 700);
        for (int round = 0; round < 20; ++round) {
            std::vector<std::size_t> pieces(97);
            for (std::size_t& piece : pieces) {
                piece = sizes(random);
            }
            EXPECT_EQ(describe(extract(run, page, pieces)), whole) << "round " << round;
        }
    }
}

TEST(ResultExtractor, SyntheticPageWithRepeatedLiteralBytesInAnyPieces) {
    // Literals whose bytes repeat, fields that hold partial literals, and a cyclic tail: the
    // cases where a streaming matcher could lose its place at a piece boundary.
    const GrammarRun run{"<<a>$URL$>>$NAME$<</$MEMO$//$END$x"};
    std::string page;
    std::mt19937 random(7);
    const std::string alphabet = "<>/ax ";
    for (int i = 0; i < 300; ++i) {
        std::string noise;
        for (int j = 0; j < 12; ++j) {
            noise += alphabet[random() % alphabet.size()];
        }
        page += "<<a>/u" + std::to_string(i) + noise + ">>T" + noise + "<</M" + noise + "//.x";
    }
    const std::string whole = describe(extractWhole(run, page));
    EXPECT_GT(extractWhole(run, page).Count(), 10);
    for (std::size_t size = 1; size <= 40; ++size) {
        EXPECT_EQ(describe(extract(run, page, {size})), whole) << size;
    }
}
