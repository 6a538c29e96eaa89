#include "cli/CliRunner.h"

#include "model/EngineDefinition.h"
#include "results/ResultsFile.h"

#include "support/FixtureServer.h"
#include "support/ProgramFolder.h"
#include "support/TestCertificates.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <thread>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

std::string lastLine(const std::string& text) {
    const std::string trimmed = text.substr(0, text.find_last_not_of('\n') + 1);
    return trimmed.substr(trimmed.rfind('\n') + 1);
}

const char* const kLoopGrammar = "<li><a href=\"$URL$\">$NAME$</a> $MEMO$</li$END$";

// A program folder with one engine of "The Web" whose pages come from server.
class SearchFolder {
  public:
    explicit SearchFolder(const FixtureServer& server) : SearchFolder(server.Url("")) {
    }
    explicit SearchFolder(const std::string& website) {
        EngineDefinition engine =
            ProgramFolder::Engine("Loop", website, "/search?q=$KEY$&first=$FIRST$", kLoopGrammar);
        engine.enable.set("");
        app.AddEngine(engine);
        app.SetOption("SearchTimeout", "1");
        ::setenv("VANTORELL_CONNECTED", "1", 1);
    }
    ProgramFolder app;
};

FixtureReply pageOfFive(const std::string&) {
    FixtureReply reply;
    reply.bytes = "HTTP/1.0 200 OK\r\n\r\n<ul>\n";
    for (int i = 1; i <= 5; ++i) {
        reply.bytes += "<li><a href=\"/doc" + std::to_string(i) + "\">Doc " + std::to_string(i) +
                       "</a> about it</li>\n";
    }
    return reply;
}

} // namespace

// --output saves the results once the search has ended: the file holds what was printed.
TEST(SearchCommand, PrintsAndSavesResultsThenEndsWithTheEndText) {
    FixtureServer server(pageOfFive);
    SearchFolder folder(server);
    const std::string output = folder.app.file("found.vnr");
    const CliRun run = runCli({"search", "--app-path", folder.app.path(), "--max-result", "7",
                               "--output", output, "two words"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(lineCount(run.out), 7);
    EXPECT_EQ(firstLine(run.out), "Doc 1\t" + server.Url("/doc1") + "\tabout it\tLoop");
    // A quiet search that went well says only how it ended.
    EXPECT_EQ(run.err, "Search Completed\n");
    const std::vector<std::string> requests = server.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].substr(0, 40), "GET /search?q=two+words&first=1 HTTP/1.0");

    ResultList saved;
    ASSERT_EQ(ResultsFile::ReadResultsFile(saved, output), ResultsFile::ReadResult::Read);
    std::string lines;
    for (int32_t i = 0; i < saved.Count(); ++i) {
        const SearchResult& r = *saved.Get(i);
        lines += r.title.str() + "\t" + r.address.str() + "\t" + r.summary.str() + "\t" +
                 r.engine.str() + "\n";
    }
    EXPECT_EQ(lines, run.out);
}

TEST(SearchCommand, EmptyCategoryAndBadInputExitTwoAtOnce) {
    FixtureServer server(pageOfFive);
    SearchFolder folder(server);
    folder.app.SetOption("SearchTimeout", "90");
    const CliRun none =
        runCli({"search", "--app-path", folder.app.path(), "--category", "Cars", "x"});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "No enabled engine to search in Cars\nvantorell-search: no enabled engine "
                        "to search in category \"Cars\"; the program folder's categories are: "
                        "\"The Web\"\n");

    const CliRun empty = runCli({"search", "--app-path", folder.app.path()});
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_EQ(empty.err, "Warning: Please input a keyword to search.\n");
    const CliRun space = runCli({"search", "--app-path", folder.app.path(), " "});
    EXPECT_EQ(space.exitCode, 2);

    ::setenv("VANTORELL_CONNECTED", "0", 1);
    const CliRun offline = runCli({"search", "--app-path", folder.app.path(), "x"});
    ::setenv("VANTORELL_CONNECTED", "1", 1);
    EXPECT_EQ(offline.exitCode, 2);
    EXPECT_EQ(offline.err, "Warning: Connection to Internet failed.\n");

    const CliRun bad = runCli({"search", "--max-engine", "ten", "x"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("--max-engine"), std::string::npos);
}

// The engine report of a search where every engine goes wrong, as JSON and as the table just
// before the end text: the search ends once each has refused, no accepted result makes the
// exit status 1, and a status line of escape bytes and malformed UTF-8 (a surrogate, an
// overlong form, a code point above U+10FFFF, a lone continuation byte), a quote and a
// backslash leaves the JSON strict and the terminal clean; a well-formed character is kept.
TEST(SearchCommand, ReportsWhatEachEngineDidAsJsonAndTable) {
    static const std::string kHostileStatus =
        "HTTP/1.0 404 \x1b[2J\xed\xa0\x80 \xc0\xaf \xf4\x90\x80\x80 \"\\ \x80 \xc3\xa9";
    FixtureServer server([](const std::string& request) {
        FixtureReply reply;
        if (request.find("/missing") != std::string::npos) {
            reply.bytes = kHostileStatus + "\r\n\r\ngone";
        } else if (request.find("/busy") != std::string::npos) {
            reply.bytes = "HTTP/1.0 429 Too Many Requests\r\n\r\nslow down";
        } else {
            reply.bytes = "HTTP/1.0 200 OK\r\n\r\n<div>markup the grammar does not know</div>";
        }
        return reply;
    });
    SearchFolder folder(server);
    for (const std::string name : {"missing", "busy", "drift", "refused"}) {
        EngineDefinition engine =
            ProgramFolder::Engine(name, name == "refused" ? "http://127.0.0.1:1" : server.Url(""),
                                  "/" + name + "?q=$KEY$&first=$FIRST$", kLoopGrammar, "Cars");
        engine.trunpage.set("266");
        folder.app.AddEngine(engine);
    }
    // The search ends when every engine is done, long before its time-out.
    folder.app.SetOption("SearchTimeout", "90");
    const std::string report = folder.app.file("report.json");
    const CliRun run = runCli({"search", "--app-path", folder.app.path(), "--category", "Cars",
                               "--max-engine", "4", "--report", report, "--verbose", "x"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(lastLine(run.err), "Search Completed");
    // Verbose, each notice names its engine; each engine in trouble has its line before the end.
    EXPECT_NE(run.err.find("busy: Initialization done\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("\nbusy: blocked (HTTP/1.0 429 Too Many Requests)\n"),
              std::string::npos);
    EXPECT_NE(run.err.find("\ndrift: parsed nothing on page 1 (HTTP/1.0 200 OK)\n"),
              std::string::npos);
    const std::size_t table = run.err.rfind("Engine  ");
    ASSERT_NE(table, std::string::npos) << run.err;
    EXPECT_NE(run.err.find("blocked", table), std::string::npos);
    EXPECT_NE(run.err.find("parsed nothing on page 1", table), std::string::npos);
    EXPECT_NE(run.err.find("failed: HTTP/1.0 404 \\x1B[2J\\xED\\xA0\\x80", table),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
    const std::string bytes = readFileBytes(report);
    for (const char* malformed : {"\xed\xa0", "\xc0\xaf", "\xf4\x90", "\x1b"}) {
        EXPECT_EQ(bytes.find(malformed), std::string::npos) << bytes;
    }
    EXPECT_NE(bytes.find(" \\u0080 \xc3\xa9\""), std::string::npos) << bytes;

    QJsonParseError error{};
    const QJsonDocument json =
        QJsonDocument::fromJson(QByteArray::fromStdString(readFileBytes(report)), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << readFileBytes(report);
    std::map<std::string, QJsonObject> engines;
    for (const QJsonValue& value : json.array()) {
        engines[value.toObject()["name"].toString().toStdString()] = value.toObject();
    }
    ASSERT_EQ(engines.size(), 4u);
    EXPECT_EQ(engines["missing"]["state"].toString().left(21), "failed: HTTP/1.0 404 ");
    for (const char* name : {"missing", "busy", "drift", "refused"}) {
        EXPECT_EQ(engines[name]["pages_requested"].toInt(), 1) << name;
    }
    EXPECT_TRUE(engines["busy"]["blocked"].toBool());
    EXPECT_TRUE(engines["drift"]["parsed_nothing"].toBool());
    EXPECT_EQ(engines["drift"]["results_parsed"].toInt(), 0);
    EXPECT_FALSE(engines["refused"]["error"].toString().isEmpty());
    EXPECT_GE(engines["refused"]["error_page"].toInt(), 1);
    EXPECT_TRUE(engines["refused"]["first_byte_ms"].isNull());
    for (const char* key : {"pages_requested", "pages_answered", "bytes", "total_ms",
                            "results_accepted", "duplicates"}) {
        EXPECT_TRUE(engines["drift"][key].isDouble()) << key;
    }
}

TEST(SearchCommand, SearchesAnHttpsEngine) {
    TestCertificates certificates;
    ASSERT_TRUE(certificates.Ok()) << certificates.Error();
    // Only the child process trusts the test's authority.
    FixtureServer server(FixtureServer::Answering(pageOfFive("").bytes),
                         {certificates.ServerCertificate(), certificates.ServerKey()});
    const std::string website = "https://localhost:" + std::to_string(server.Port());
    SearchFolder folder(website);
    ::setenv("SSL_CERT_FILE", certificates.AuthorityFile().c_str(), 1);
    const CliRun run =
        runCli({"search", "--app-path", folder.app.path(), "--max-result", "5", "x"});
    ::unsetenv("SSL_CERT_FILE");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(lineCount(run.out), 5);
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "Doc 1\t" + website + "/doc1\tabout it\tLoop");
    EXPECT_EQ(lastLine(run.err), "Search Completed");
}

// Searches run at once on one program folder: each one's outcome reaches the health file.
TEST(SearchCommand, ConcurrentSearchesKeepEveryOutcome) {
    constexpr int kSearches = 8;
    FixtureServer server(pageOfFive);
    SearchFolder folder(server);
    std::vector<std::thread> searches;
    std::vector<int> exits(kSearches, -1);
    for (int i = 0; i < kSearches; ++i) {
        searches.emplace_back([&folder, &exits, i] {
            exits[static_cast<std::size_t>(i)] =
                runCli({"search", "--app-path", folder.app.path(), "--max-result", "3", "x"})
                    .exitCode;
        });
    }
    for (std::thread& search : searches) {
        search.join();
    }
    EXPECT_EQ(exits, std::vector<int>(kSearches, 0));
    const std::string health = readFileBytes(folder.app.file("EngineHealth.txt"));
    int outcomes = 0;
    for (std::size_t at = health.find("search\tThe Web\tLoop\t"); at != std::string::npos;
         at = health.find("search\tThe Web\tLoop\t", at + 1)) {
        ++outcomes;
    }
    EXPECT_EQ(outcomes, kSearches) << health;
}
