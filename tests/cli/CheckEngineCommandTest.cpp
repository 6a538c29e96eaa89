#include "cli/CliRunner.h"

#include "model/EngineFile.h"

#include "support/FixtureServer.h"
#include "support/ProgramFolder.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

// Answers each page with three results numbered from its offset, or as page says.
FixtureServer::Handler pages(std::function<std::string(int offset)> page) {
    return [page](const std::string& request) {
        std::smatch match;
        static const std::regex first("first=([0-9]+)");
        const int offset = std::regex_search(request, match, first) ? std::stoi(match[1]) : -1;
        FixtureReply reply;
        reply.bytes = "HTTP/1.0 200 OK\r\n\r\n" + page(offset);
        return reply;
    };
}

std::string threeFrom(int offset) {
    std::string body;
    for (int n = offset; n < offset + 3; ++n) {
        body += "<li><a href=\"/d" + std::to_string(n) + "\">Doc " + std::to_string(n) +
                "</a> text</li>\n";
    }
    return body;
}

// An engine file "<name>.vnp" in dir whose requests go to website.
std::string writeEngine(const TempDir& dir, const std::string& name, const std::string& website) {
    const std::string path = dir.file(name + ".vnp");
    writeFileBytes(path, EngineFile::CanonicalBytes(ProgramFolder::Engine(
                             name, website, "/s?q=$KEY$&first=$FIRST$",
                             "<li><a href=\"$URL$\">$NAME$</a> $MEMO$</li$END$", "Probes")));
    return path;
}

} // namespace

TEST(CheckEngineCommand, ReportsBothPagesAndTheirProblems) {
    TempDir dir;
    FixtureServer good(pages(threeFrom));
    const CliRun run = runCli({"check-engine", "--app-path", dir.path(),
                               writeEngine(dir, "Probe", good.Url("")), "two words"});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Page 1\n  Request: GET " + good.Url("/s?q=two+words&first=1")),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Request: GET " + good.Url("/s?q=two+words&first=11")),
              std::string::npos);
    EXPECT_NE(run.out.find("  Status:  HTTP/1.0 200 OK\n"), std::string::npos);
    EXPECT_NE(run.out.find("  Results: 3\nDoc 1\t" + good.Url("/d1") + "\ttext\tProbe\n"),
              std::string::npos);

    FixtureServer repeating(pages([](int) { return threeFrom(1); }));
    const CliRun repeated = runCli(
        {"check-engine", "--app-path", dir.path(), writeEngine(dir, "Probe", repeating.Url(""))});
    EXPECT_EQ(repeated.exitCode, 1);
    EXPECT_NE(repeated.out.find("Page 2 repeats page 1"), std::string::npos) << repeated.out;

    FixtureServer empty(pages([](int) { return std::string("<p>nothing</p>"); }));
    const CliRun nothing = runCli(
        {"check-engine", "--app-path", dir.path(), writeEngine(dir, "Probe", empty.Url(""))});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_NE(nothing.out.find("The page parsed to no result"), std::string::npos);

    // Results that quote a challenge marker are results; a 429 is a block, shown with its
    // status line's escape bytes escaped, and no second page is asked after it.
    FixtureServer quoting(
        pages([](int offset) { return threeFrom(offset) + "<p>we detected unusual traffic</p>"; }));
    const CliRun quoted = runCli(
        {"check-engine", "--app-path", dir.path(), writeEngine(dir, "Probe", quoting.Url(""))});
    EXPECT_EQ(quoted.exitCode, 0) << quoted.out;
    FixtureServer busy(FixtureServer::Answering("HTTP/1.0 429 Slow\x1b[2J\r\n\r\nwait"));
    const CliRun blocked =
        runCli({"check-engine", "--app-path", dir.path(), writeEngine(dir, "Probe", busy.Url(""))});
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_NE(blocked.out.find("  Status:  HTTP/1.0 429 Slow\\x1B[2J\n"), std::string::npos)
        << blocked.out;
    EXPECT_NE(blocked.out.find("blocks this client (429)"), std::string::npos) << blocked.out;
    EXPECT_EQ(blocked.out.find("Page 2"), std::string::npos) << blocked.out;
    EXPECT_EQ(busy.Requests().size(), 1u);

    EXPECT_EQ(runCli({"check-engine", dir.file("none.vnp")}).exitCode, 2);
}

TEST(CheckEngineCommand, ChecksSavedPagesWithoutNetwork) {
    TempDir dir;
    const std::string enginePath = writeEngine(dir, "Saved", "http://127.0.0.1:9/");

    const std::string wrapped =
        "<li><a href=\"https://www.bing.com/ck/a?u=a1bad\">One</a> a</li>\n"
        "<li><a href=\"https://go.example/r?url=http%3A%2F%2Fx.example%2F\">Two</a> b</li>\n"
        "<li><a href=\"http://plain.example/\">Three</a> c</li>\n";
    std::string unknown;
    for (int n = 0; n < 4; ++n) {
        unknown += "<div class=\"hit\"><h3><a href=\"http://r" + std::to_string(n) +
                   ".example/\"><b>Title</b></a></h3></div><a href=\"http://127.0.0.1:9/n\">x</a>";
    }
    const struct {
        const char* name;
        std::string page;
        int exitCode;
        std::vector<std::string> lines;
    } cases[] = {
        {"challenge",
         "<form id=\"captcha-form\">unusual traffic</form>",
         1,
         {"  The page is a challenge (a check for robots), not results: the engine blocks this "
          "client.\n"}},
        {"consent", "<h1>Before you continue</h1>", 1, {"  The page is a consent page"}},
        {"shell",
         "<div id=root></div><noscript>Please enable JavaScript.</noscript>",
         1,
         {"  The page is a page built by scripts: its results are not in the HTML"}},
        {"wrapped",
         wrapped,
         1,
         {"  Results: 3\n",
          "  Address still wrapped: https://www.bing.com/ck/a?u=a1bad\n"
          "  Address still wrapped: https://go.example/r?url=http%3A%2F%2Fx.example%2F\n"}},
        {"unknown",
         unknown,
         1,
         {"  Status:  (saved page)\n  Time:    (saved page)\n",
          "  Suggested start marker: <div class=\"hit\"><h3><a href=\"\n"
          "  Between the address and the title: \"><b>\n"}},
        {"nothing",
         "<p>nothing</p>",
         1,
         {"The page parsed to no result", "no repeating marker found"}},
    };
    for (const auto& c : cases) {
        const std::string saved = dir.file(std::string(c.name) + ".html");
        writeFileBytes(saved, c.page);
        const CliRun run = runCli(
            {"check-engine", "--app-path", dir.path(), "--page", saved, "--suggest", enginePath});
        EXPECT_EQ(run.exitCode, c.exitCode) << c.name << run.out << run.err;
        for (const std::string& line : c.lines) {
            EXPECT_NE(run.out.find(line), std::string::npos) << c.name << "\n" << run.out;
        }
        EXPECT_EQ(run.out.find("Page 2"), std::string::npos) << c.name;
    }
    EXPECT_EQ(runCli({"check-engine", "--page", dir.file("none.html"), enginePath}).exitCode, 2);
}
