#include "cli/CliRunner.h"

#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

int lineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

} // namespace

TEST(ExtractCommand, SampleEngineOnSamplePage) {
    const std::string engine = sourcePath("engines/User/Sample.vnp");
    const std::string page = sourcePath("samples/sample-answer.html");
    const CliRun run = runCli({"extract", "--engine", engine, "--page", page});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(lineCount(run.out), 8);
    EXPECT_EQ(firstLine(run.out),
              "What is a meta-search client?\thttp://127.0.0.1:8080/about/meta-search.html\t"
              "A meta-search client sends one keyword to many search engines at once and lists "
              "what they found together, so you read one page instead of ten.\tSample");
    EXPECT_NE(run.out.find("\thttps://www.example.org/secure/\t"), std::string::npos)
        << "an https address is absolute";

    const CliRun noRoot =
        runCli({"extract", "--engine", engine, "--page", page, "--site-root", ""});
    EXPECT_EQ(firstLine(noRoot.out).substr(0, 53),
              "What is a meta-search client?\t/about/meta-search.html");
    for (const char* chunk : {"1", "2", "5", "100"}) {
        EXPECT_EQ(runCli({"extract", "--engine", engine, "--page", page, "--chunk", chunk}).out,
                  run.out)
            << chunk;
    }
}

TEST(ExtractCommand, BadInputFailsWithOneLineAndWritesNothing) {
    TempDir dir;
    const std::string engine = sourcePath("engines/User/Sample.vnp");
    const std::string page = sourcePath("samples/sample-answer.html");
    struct Case {
        std::vector<std::string> words;
        std::string named;
    };
    const Case cases[] = {
        {{"extract", "--engine", dir.file("none.vnp"), "--page", page}, "none.vnp"},
        {{"extract", "--engine", engine, "--page", dir.file("none.html")}, "none.html"},
        {{"extract", "--engine", dir.path(), "--page", page}, dir.path()},
        {{"extract", "--engine", engine, "--page", page, "--chunk", "0"}, "--chunk"},
        {{"extract", "--engine", engine, "--page", page, "--chunk", "x1"}, "--chunk"},
        {{"extract", "--engine", engine, "--page", page, "--chunky", "1"}, "--chunky"},
        {{"extract", "--engine", engine, "--page"}, "--page"},
        {{"extract", "--page", page}, "--engine"},
        {{"frobnicate"}, "frobnicate"},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(c.words);
        EXPECT_EQ(run.exitCode, 2) << c.named;
        EXPECT_EQ(run.out, "") << c.named;
        EXPECT_EQ(lineCount(run.err), 1) << run.err;
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
    }
}

TEST(ExtractCommand, HostilePageAndOverLongEngineFieldsAreCutNotOverrun) {
    TempDir dir;
    // A grammar and a name far over their fields, a token of several kilobytes, and a page with
    // NUL bytes and fields over every capture limit.
    std::string engine = "name:" + std::string(500, 'N') + "\r\nwebsite:http://h.example/" +
                         std::string(4000, 'w') + "\r\ngrm:<t>$NAME$</t>$URL$|$END$" +
                         std::string(3000, 'g') + "\r\n";
    writeFileBytes(dir.file("big.vnp"), engine);
    std::string page;
    for (int i = 0; i < 50; ++i) {
        page += "<t>" + std::string(1000, 'T') + "</t>/" + std::string(5000, 'u') + "|..";
        page += std::string("\0\0", 2);
    }
    writeFileBytes(dir.file("page.html"), page);
    for (const char* chunk : {"1", "4095", "1000000"}) {
        const CliRun run = runCli({"extract", "--engine", dir.file("big.vnp"), "--page",
                                   dir.file("page.html"), "--chunk", chunk});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        std::size_t start = 0;
        while (start < run.out.size()) {
            const std::size_t end = run.out.find('\n', start);
            ASSERT_NE(end, std::string::npos);
            const std::string line = run.out.substr(start, end - start);
            const std::size_t tab1 = line.find('\t');
            const std::size_t tab2 = line.find('\t', tab1 + 1);
            const std::size_t tab3 = line.find('\t', tab2 + 1);
            EXPECT_LE(tab1, 199u);
            EXPECT_LE(tab2 - tab1 - 1, 299u);
            EXPECT_EQ(line.substr(tab3 + 1), std::string(20, 'N'));
            start = end + 1;
        }
    }
}

TEST(ExtractCommand, HelpDescribesEveryOption) {
    const CliRun run = runCli({"extract", "--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* option : {"--engine", "--page", "--site-root", "--chunk", "--app-path"}) {
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
    }
}

// The redirect links of real saved pages come out as their targets, unless asked for raw.
TEST(ExtractCommand, CleansRedirectAddressesOfSavedPagesUnlessRaw) {
    struct Saved {
        const char* engine;
        const char* page;
        const char* rawStart;
        const char* firstTarget;
    };
    const Saved saved[] = {
        {"Yahoo", "yahoo",
         "https://r.search.yahoo.com/_ylt=", "https://www.merriam-webster.com/dictionary/hello"},
        {"AOL", "aol",
         "https://search.aol.com/click/_ylt=", "https://www.merriam-webster.com/dictionary/hello"},
        // The grammar itself already cuts Google's target out of its redirect.
        {"Google", "google", "https://www.google.com/", "https://www.google.com/"},
    };
    for (const Saved& s : saved) {
        SCOPED_TRACE(s.engine);
        const std::vector<std::string> base = {
            "extract", "--engine", sourcePath(std::string("engines/Site/") + s.engine + ".vnp"),
            "--page", sourcePath(std::string("tests/data/pages/") + s.page + ".html")};
        const CliRun clean = runCli(base);
        std::vector<std::string> rawWords = base;
        rawWords.push_back("--raw-addresses");
        const CliRun raw = runCli(rawWords);
        ASSERT_EQ(clean.exitCode, 0) << clean.err;
        ASSERT_EQ(raw.exitCode, 0) << raw.err;
        const auto firstAddress = [](const std::string& out) {
            const std::size_t tab = out.find('\t');
            return out.substr(tab + 1, out.find('\t', tab + 1) - tab - 1);
        };
        EXPECT_EQ(firstAddress(clean.out), s.firstTarget);
        EXPECT_EQ(firstAddress(raw.out).rfind(s.rawStart, 0), 0u) << firstAddress(raw.out);
        EXPECT_EQ(std::count(clean.out.begin(), clean.out.end(), '\n'),
                  std::count(raw.out.begin(), raw.out.end(), '\n'));
    }
}
