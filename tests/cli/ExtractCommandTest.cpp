#include "cli/CliRunner.h"

#include "support/ProgramFolder.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

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
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) {
            const std::size_t tab1 = line.find('\t');
            const std::size_t tab2 = line.find('\t', tab1 + 1);
            EXPECT_LE(tab1, 199u);
            EXPECT_LE(tab2 - tab1 - 1, 299u);
            EXPECT_EQ(line.substr(line.rfind('\t') + 1), std::string(20, 'N'));
        }
        EXPECT_TRUE(run.out.empty() || run.out.back() == '\n');
    }
}

TEST(ExtractCommand, HelpDescribesEveryOption) {
    const CliRun run = runCli({"extract", "--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* option : {"--engine", "--page", "--site-root", "--chunk", "--app-path"}) {
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
    }
}

// Redirect links of a saved page come out as their targets, unless asked for raw.
TEST(ExtractCommand, CleansRedirectAddressesUnlessRaw) {
    const std::vector<std::string> words = {"extract", "--engine",
                                            sourcePath("engines/Site/Yahoo.vnp"), "--page",
                                            sourcePath("tests/data/pages/yahoo.html")};
    const CliRun clean = runCli(words);
    std::vector<std::string> rawWords = words;
    rawWords.push_back("--raw-addresses");
    const CliRun raw = runCli(rawWords);
    ASSERT_EQ(clean.exitCode, 0) << clean.err;
    ASSERT_EQ(raw.exitCode, 0) << raw.err;
    const auto firstAddress = [](const std::string& out) {
        const std::size_t tab = out.find('\t');
        return out.substr(tab + 1, out.find('\t', tab + 1) - tab - 1);
    };
    EXPECT_EQ(firstAddress(clean.out), "https://www.example.org/yahoo-one");
    EXPECT_EQ(firstAddress(raw.out).rfind("https://r.search.yahoo.com/_ylt=", 0), 0u)
        << firstAddress(raw.out);
    EXPECT_EQ(lineCount(clean.out), lineCount(raw.out));
}

// An engine file saved with LF line ends is the same engine as with CR LF; a file that yields no
// engine is refused by each verb that reads one, naming the file and what it lacks.
TEST(ExtractCommand, LfEngineFilesReadAndFilesWithoutAnEngineAreRefused) {
    ProgramFolder app;
    const std::string sample = sourcePath("engines/User/Sample.vnp");
    const std::string page = sourcePath("samples/sample-answer.html");
    std::string lf = readFileBytes(sample);
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    writeFileBytes(app.file("lf.vnp"), lf);
    const CliRun fromLf = runCli({"extract", "--engine", app.file("lf.vnp"), "--page", page});
    EXPECT_EQ(lineCount(fromLf.out), 8) << fromLf.err;
    EXPECT_EQ(fromLf.out, runCli({"extract", "--engine", sample, "--page", page}).out);

    writeFileBytes(app.file("Site/junk.vnp"), std::string("\x89PNG\r\n\x1a\n\0\0\x01:", 12));
    writeFileBytes(app.file("nameless.vnp"), "website:http://x.example\ngrm:<a>$URL$</a>\n");
    const std::string junk = app.file("Site/junk.vnp");
    struct Case {
        std::vector<std::string> words;
        std::string named;
    };
    const Case cases[] = {
        {{"extract", "--engine", junk, "--page", page},
         junk + " holds no engine: no name and no grm"},
        {{"check-engine", "--page", page, junk}, junk + " holds no engine: no name and no grm"},
        {{"check-engine", "--page", page, app.file("nameless.vnp")},
         "nameless.vnp holds no engine: no name"},
        {{"engines", "--app-path", app.path()}, junk + "\" (no name and no grm line)"},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(c.words);
        EXPECT_EQ(run.exitCode, 2) << c.words[0];
        EXPECT_EQ(run.out, "") << c.words[0];
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
    }
}
