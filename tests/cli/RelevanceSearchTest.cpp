#include "cli/CliRunner.h"

#include "extract/ResultExtractor.h"
#include "model/AddressKey.h"
#include "model/EngineFile.h"
#include "search/QueryBuilder.h"

#include "support/FixtureServer.h"
#include "support/ProgramFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <mutex>
#include <set>

namespace {

// The shipped engines whose saved answer pages for "Preaching the choir" were recorded the same
// day, each with the start of its request path.
const struct {
    const char* engine;
    const char* path;
} kEngines[] = {
    {"DuckDuckGo", "/html/"}, {"Bing", "/search?q="}, {"Ask", "/web?"}, {"AOL", "/aol/"}};
constexpr const char* kPage = "/bisohns-2020.html";

EngineDefinition shippedEngine(const std::string& name, const std::string& website) {
    EngineDefinition engine;
    EXPECT_EQ(EngineFile::ReadEngineFile(sourcePath("engines/Site/" + name + ".vnp"), engine),
              EngineFile::ReadResult::Read);
    engine.website.set(website);
    return engine;
}

// The engine's own list: its grammar over its page, as a search reads it.
std::vector<std::string> addressesOf(const EngineDefinition& engine, const std::string& page,
                                     const std::string& siteRoot) {
    ResultExtractor extractor;
    extractor.SetGrammar(QueryBuilder::ExpandGrammar(engine.grm.view()));
    extractor.SetEngineName(engine.name.view());
    extractor.SetSiteRoot(siteRoot);
    extractor.SetUnwrapAddresses(true);
    extractor.AppendInput(page.data(), page.size());
    ResultList results;
    extractor.Feed(results);
    std::vector<std::string> addresses;
    for (int32_t i = 0; i < results.Count(); ++i) {
        addresses.push_back(results.Get(i)->address.str());
    }
    return addresses;
}

} // namespace

// Four engines' real answer pages, served on loopback through the shipped grammars: the order by
// relevance is the fusion of each engine's own list, and --engine asks only the named engines.
TEST(RelevanceSearch, OrdersTheCorpusPagesByTheEnginesAgreement) {
    std::map<std::string, std::string> pages;
    for (const auto& e : kEngines) {
        std::string folder = e.engine;
        std::transform(folder.begin(), folder.end(), folder.begin(), ::tolower);
        const std::string path = fixturePath("serp/" + folder + kPage);
        if (path.empty()) {
            GTEST_SKIP() << "the shared answer pages are not here";
        }
        pages[e.path] = readFileBytes(path);
    }
    // Each engine's first request gets its page, every later one an empty page.
    std::mutex mutex;
    std::set<std::string> served;
    FixtureServer server([&](const std::string& request) {
        FixtureReply reply;
        reply.bytes = "HTTP/1.0 200 OK\r\n\r\n";
        const std::lock_guard<std::mutex> lock(mutex);
        for (const auto& [path, page] : pages) {
            if (request.compare(4, path.size(), path) == 0 && served.insert(path).second) {
                reply.bytes += page;
            }
        }
        return reply;
    });
    ProgramFolder app;
    std::map<std::string, std::vector<std::string>> lists;
    std::vector<std::string> arguments = {"search",  "--app-path",   app.path(),
                                          "--order", "relevance",    "--format",
                                          "json",    "--max-result", "500"};
    for (const auto& e : kEngines) {
        const EngineDefinition engine = shippedEngine(e.engine, server.Url(""));
        app.AddEngine(engine);
        lists[e.engine] =
            addressesOf(engine, pages[e.path], ResultExtractor::SiteRootFromUrl(server.Url("/")));
        arguments.insert(arguments.end(), {"--engine", e.engine});
    }
    // An engine of the folder that is not named is not asked.
    app.AddEngine(shippedEngine("Yahoo", server.Url("")));
    app.SetOption("SearchTimeout", "2");
    ::setenv("VANTORELL_CONNECTED", "1", 1);
    arguments.push_back("Preaching the choir");
    const CliRun run = runCli(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const std::string& request : server.Requests()) {
        EXPECT_EQ(request.find("GET /search?p="), std::string::npos) << request;
    }

    // The fusion computed here from the four lists, by page.
    struct Expected {
        double score = 0;
        int engines = 0;
        int bestRank = 1 << 30;
    };
    std::map<std::string, Expected> expected;
    for (const auto& [engine, addresses] : lists) {
        std::set<std::string> seen;
        for (std::size_t rank = 1; rank <= addresses.size(); ++rank) {
            const std::string key = AddressKey::Normalise(addresses[rank - 1]);
            if (!seen.insert(key).second) {
                continue;
            }
            Expected& page = expected[key];
            page.score += 1.0 / (60.0 + static_cast<double>(rank));
            page.engines += 1;
            page.bestRank = std::min(page.bestRank, static_cast<int>(rank));
        }
    }
    const QJsonArray rows = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array();
    ASSERT_EQ(static_cast<std::size_t>(rows.size()), expected.size()) << run.out;
    std::vector<Expected> order;
    for (const QJsonValue& row : rows) {
        const std::string key =
            AddressKey::Normalise(row.toObject()["address"].toString().toStdString());
        ASSERT_EQ(expected.count(key), 1u) << key;
        EXPECT_NEAR(row.toObject()["score"].toDouble(), expected[key].score, 1e-12) << key;
        EXPECT_EQ(row.toObject()["engines"].toArray().size(), expected[key].engines) << key;
        order.push_back(expected[key]);
    }
    int agreed = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        agreed += order[i].engines > 1 ? 1 : 0;
        for (std::size_t j = i + 1; j < order.size(); ++j) {
            // Higher scores first, ties to the better single rank.
            EXPECT_GE(order[i].score + 1e-12, order[j].score) << i << " " << j;
            if (std::abs(order[i].score - order[j].score) <= 1e-12) {
                EXPECT_LE(order[i].bestRank, order[j].bestRank) << i << " " << j;
            }
            // A page found by fewer engines is never above one found by more that scores higher.
            if (order[j].engines > order[i].engines) {
                EXPECT_FALSE(order[j].score > order[i].score + 1e-12) << i << " " << j;
            }
        }
    }
    // The engines agree on some pages, so the order is not any one engine's.
    EXPECT_GT(agreed, 0);
}

TEST(RelevanceSearch, UnknownEngineNamesTheKnownOnes) {
    ProgramFolder app;
    app.AddEngine(shippedEngine("Bing", "http://127.0.0.1:1"));
    const CliRun run = runCli({"search", "--app-path", app.path(), "--engine", "Bingo", "x"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("\"Bingo\""), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("engines are: Bing"), std::string::npos) << run.err;
}
