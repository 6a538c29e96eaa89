#include "search/SessionFixture.h"

#include "model/AddressKey.h"
#include "platform/FolderLock.h"
#include "results/CURLCheck.h"
#include "results/LinkCheckManager.h"
#include "results/LinkCheckTarget.h"
#include "search/CHttpSearch.h"
#include "search/EngineAccount.h"
#include "search/SearchManager.h"
#include "settings/EngineHealth.h"
#include "settings/OptionsStore.h"
#include "settings/QueryHistoryFile.h"

#include "support/EventLoopWait.h"
#include "support/FixtureServer.h"
#include "support/RealPeers.h"
#include "support/TestCertificates.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// The engine name in a request path "/<engine>?...".
std::string engineOf(const std::string& request) {
    const std::size_t slash = request.find('/');
    const std::size_t query = request.find('?', slash);
    return request.substr(slash + 1, query - slash - 1);
}

// Counts the row states link validation hands over.
class CountingLinkTarget : public LinkCheckTarget {
  public:
    void OnRowState(int32_t, LinkState) override {
        ++states;
    }
    int states = 0;
};

// Answers every engine's every page with count results numbered from the page's offset.
FixtureServer::Handler pagesOf(int count) {
    return [count](const std::string& request) {
        return FixtureReply{
            .bytes = httpAnswer(resultPage(engineOf(request), firstOffset(request), count))};
    };
}

std::string requestPath(const std::string& engine) {
    return "/" + engine + "?q=$KEY$&first=$FIRST$";
}

} // namespace

TEST(SearchSession, CompletesAtMaxResultWithStatusAndProgress) {
    FixtureServer server(pagesOf(5));
    SessionFixture f;
    for (const char* name : {"alpha", "beta", "gamma"}) {
        f.AddEngine(name, server.Url(""), requestPath(name));
    }
    f.SetOption("MaxResult", "12");
    f.Session().StartSearch();
    ASSERT_TRUE(f.Session().IsSearching());
    ASSERT_TRUE(f.WaitForEnd(10000));

    EXPECT_EQ(f.view.rows.size(), 12u) << "later items of the last batch are not added";
    EXPECT_EQ(f.Session().Results().Count(), 12);
    EXPECT_EQ(f.view.LastStatus(), "Search Completed");
    for (const char* status : {"Initialization done", "Connection to Internet Succeed",
                               "Ready to recevie", "Received Item(s):1", "Received Item(s):12"}) {
        EXPECT_TRUE(f.view.Saw(status)) << status;
    }
    EXPECT_EQ(f.view.progressUpper, 12);
    EXPECT_EQ(f.view.progressSteps, 12);
    EXPECT_EQ(f.view.progressResets, 1);
    EXPECT_EQ(f.view.buttonStates, (std::vector<int>{2, 1}));
    EXPECT_EQ(f.view.rows[0].address.view().substr(0, 16), "http://127.0.0.1");
    EXPECT_EQ(f.view.rows[0].summary.view().substr(0, 11), "Summary of ");

    // After the end nothing more reaches the view, not even a time-out.
    const std::size_t shown = f.view.statusTexts.size();
    runEventsFor(300);
    EXPECT_EQ(f.view.statusTexts.size(), shown);

    // The engine whose page was arriving at the stop found results all the same.
    f.Session().WaitForHealth();
    EngineHealth health(f.app.path());
    ASSERT_TRUE(health.Load());
    for (const EngineRecord& record : f.Session().Account().Records()) {
        if (record.resultsParsed > 0) {
            EXPECT_EQ(health.Summarise("The Web", record.name, 0).successes, 1) << record.name;
        }
    }
}

TEST(SearchSession, TurnsPagesRoundAndRoundWithTheExactRequest) {
    FixtureServer server(pagesOf(2));
    SessionFixture f;
    f.AddEngine("solo", server.Url(""), requestPath("solo"));
    f.SetOption("MaxResult", "6");
    f.SetOption("MaxEngine", "5");
    ASSERT_TRUE(f.Search());
    EXPECT_EQ(f.view.LastStatus(), "Search Completed");

    const std::vector<std::string> requests = server.WaitForRequests(3, std::chrono::seconds(5));
    ASSERT_GE(requests.size(), 3u);
    // One engine and five slots: one worker at a time, each on the engine's next page.
    EXPECT_EQ(firstOffset(requests[0]), 1);
    EXPECT_EQ(firstOffset(requests[1]), 11);
    EXPECT_EQ(firstOffset(requests[2]), 21);
    // The request's other lines are the HTTP client's own (its tests check them).
    EXPECT_EQ(requests[0].substr(0, requests[0].find("\r\n")), "GET /solo?q=cats&first=1 HTTP/1.0");
}

TEST(SearchSession, TimesOutCountingFromTheLastBatch) {
    std::atomic<int> served{0};
    FixtureServer server([&served](const std::string& request) {
        // The first page has results, the next never comes: the engine still works, and the
        // time-out starts after page one.
        const bool first = served++ == 0;
        return FixtureReply{.bytes = httpAnswer(resultPage("slow", firstOffset(request), 2)),
                            .delay = std::chrono::milliseconds(600),
                            .stall = !first};
    });
    SessionFixture f;
    f.AddEngine("slow", server.Url(""), requestPath("slow"));
    f.SetOption("SearchTimeout", "1");
    f.SetOption("MaxEngine", "1");
    ASSERT_TRUE(f.Search());
    EXPECT_EQ(f.view.LastStatus(), "Search Timeout");
    EXPECT_EQ(f.view.rows.size(), 2u);
}

TEST(SearchSession, EnginesOutOfPagesLeaveTheRoundAndTheSearchEndsByItsRules) {
    // Step 200 from offset 100: the next offset would not fit its byte, so one page only.
    const std::string onePage = std::to_string(200 + 100 * 256);
    auto requestsOf = [](const std::vector<std::string>& requests, const std::string& engine) {
        return std::count_if(requests.begin(), requests.end(),
                             [&](const std::string& r) { return engineOf(r) == engine; });
    };
    {
        // Every engine runs out: no request after the last pages, no worker left, and the
        // search ends at once.
        FixtureServer server(pagesOf(2));
        SessionFixture f;
        f.AddEngine("first", server.Url(""), requestPath("first"), "The Web", onePage);
        f.AddEngine("second", server.Url(""), requestPath("second"), "The Web", onePage);
        f.SetOption("MaxResult", "100");
        ASSERT_TRUE(f.Search());
        EXPECT_EQ(f.view.LastStatus(), "Search Completed");
        EXPECT_EQ(f.view.rows.size(), 4u);
        const std::vector<std::string> requests = server.Requests();
        EXPECT_EQ(requests.size(), 2u);
        EXPECT_EQ(requestsOf(requests, "first"), 1);
        EXPECT_EQ(firstOffset(requests[0]), 100);
    }
    {
        // One engine runs out, the other goes on turning its pages to the result limit.
        FixtureServer server(pagesOf(2));
        SessionFixture f;
        f.AddEngine("short", server.Url(""), requestPath("short"), "The Web", onePage);
        f.AddEngine("long", server.Url(""), requestPath("long"));
        f.SetOption("MaxResult", "10");
        f.SetOption("MaxEngine", "2");
        ASSERT_TRUE(f.Search());
        EXPECT_EQ(f.view.LastStatus(), "Search Completed");
        const std::vector<std::string> requests = server.Requests();
        EXPECT_EQ(requestsOf(requests, "short"), 1);
        EXPECT_GE(requestsOf(requests, "long"), 4);
    }
}

// The health file is written after the search has ended: another program holding the folder
// keeps neither the end nor the window waiting, and its lock is reported once it outlasts the
// wait.
TEST(SearchSession, HealthFileHeldByAnotherProgramDelaysNotTheEnd) {
    FixtureServer server(pagesOf(2));
    SessionFixture f;
    f.AddEngine("first", server.Url(""), requestPath("first"));
    f.SetOption("MaxResult", "2");
    FolderLock other(f.app.path());
    ASSERT_TRUE(other.Acquire(0));
    ASSERT_TRUE(f.Search());
    EXPECT_EQ(f.view.LastStatus(), "Search Completed");
    EXPECT_TRUE(runEventsUntil(
        [&f] {
            return f.view.LastStatus() ==
                   "Engine health not recorded: another program kept EngineHealth.txt busy";
        },
        EngineHealth::kLockWaitMs * 3));
    other.Release();
    f.Session().WaitForHealth();
    EngineHealth health(f.app.path());
    ASSERT_TRUE(health.Load());
    EXPECT_EQ(health.Summarise("The Web", "first", 0).searches, 0);
}

TEST(SearchSession, EmptyCategoryEndsAtOnce) {
    SessionFixture f;
    f.view.category = "Cars";
    f.Session().StartSearch();
    EXPECT_FALSE(f.Session().IsSearching());
    EXPECT_TRUE(f.Session().HadNoEngine());
    EXPECT_EQ(f.view.statusTexts,
              (std::vector<std::string>{"No enabled engine to search in Cars"}));
    EXPECT_EQ(f.view.buttonStates, (std::vector<int>{2, 1}));
}

TEST(SearchSession, UnresolvableHostsEndWithHostNotFound) {
    // Every engine's host unknown: the search ends when the last has failed.
    SessionFixture f;
    f.AddEngine("bad", "http://nonexistent.invalid", requestPath("bad"));
    f.AddEngine("worse", "http://nowhere.invalid", requestPath("worse"));
    f.SetOption("MaxResult", "5000");
    ASSERT_TRUE(f.Search(20000));
    EXPECT_EQ(f.view.LastStatus(), "Host Not Found");
}

TEST(SearchSession, UserStopHaltsEveryWorkerAtOnce) {
    FixtureServer server(FixtureServer::Answering(FixtureReply{.stall = true}));
    SessionFixture f;
    for (int i = 0; i < 12; ++i) {
        f.AddEngine("e" + std::to_string(i), server.Url(""), requestPath("e"));
    }
    f.SetOption("MaxEngine", "10");
    f.Session().OnSearchButton();
    ASSERT_TRUE(runEventsUntil([&] { return server.Requests().size() == 10; }, 5000));
    EXPECT_EQ(f.Session().Manager()->RunningWorkers(), 10);
    const std::string lastBefore = f.view.LastStatus();
    f.Session().OnSearchButton();
    EXPECT_FALSE(f.Session().IsSearching());
    EXPECT_TRUE(CHttpSearch::WaitForAllEnded(3000)) << "stopped workers end at once";
    EXPECT_EQ(f.view.LastStatus(), lastBefore) << "the pane keeps its last text";
    EXPECT_EQ(server.Requests().size(), 10u) << "no slot is refilled after the stop";
}

TEST(SearchSession, RemovesRepeatedAddressesOnlyWhenAsked) {
    FixtureServer server([](const std::string& request) {
        const std::string page = "<r><a href=\"http://x.example/A\">1</a><p>s</p>\n"
                                 "<r><a href=\"http://x.example/a\">2</a><p>s</p>\n"
                                 "<r><a href=\"http://x.example/A\">3</a><p>s</p>\n";
        return FixtureReply{.bytes = httpAnswer(firstOffset(request) == 1 ? page : "")};
    });
    for (const char* setting : {"1", "0"}) {
        SessionFixture f;
        f.AddEngine("dup", server.Url(""), requestPath("dup"));
        f.SetOption("AutoRemoveUrl", setting);
        f.SetOption("MaxResult", "3");
        f.SetOption("SearchTimeout", "1");
        ASSERT_TRUE(f.Search());
        EXPECT_EQ(f.view.rows.size(), setting[0] == '1' ? 2u : 3u) << setting;
    }
}

// Rows deleted while the search runs: every later result still gets its row, at the real end
// of the list, and the list and the rows stay the same length.
TEST(SearchSession, NewRowsGoToTheRealEndAfterDeletesDuringTheSearch) {
    FixtureServer server(pagesOf(5));
    SessionFixture f;
    f.AddEngine("del", server.Url(""), requestPath("del"));
    f.SetOption("MaxResult", "9");
    SearchSession& session = f.Session();
    bool deleted = false;
    f.view.afterRow = [&] {
        if (!deleted && session.Results().Count() == 3) {
            deleted = true;
            session.Results().Remove(0);
            f.view.rows.erase(f.view.rows.begin());
        }
    };
    session.StartSearch();
    ASSERT_TRUE(f.WaitForEnd(10000));
    ASSERT_EQ(f.view.rows.size(), 8u);
    ASSERT_EQ(session.Results().Count(), 8);
    for (int32_t i = 0; i < session.Results().Count(); ++i) {
        EXPECT_EQ(f.view.rows[i].address.view(), session.Results().Get(i)->address.view());
    }
    EXPECT_EQ(f.view.LastStatus(), "Search Completed");
}

TEST(SearchSession, KeywordConnectionAndHistoryChecks) {
    SessionFixture f;
    f.view.keyword = "";
    f.Session().StartSearch();
    f.view.keyword = " ";
    f.Session().StartSearch();
    EXPECT_EQ(f.view.messages,
              (std::vector<std::string>{"Warning|Please input a keyword to search.",
                                        "Warning|Please input a keyword to search."}));
    f.view.keyword = "two  spaces";
    f.connection.connected = false;
    f.Session().StartSearch();
    EXPECT_EQ(f.view.messages.back(), "Warning|Connection to Internet failed.");
    EXPECT_FALSE(f.Session().IsSearching());

    f.connection.connected = true;
    f.view.keyword = "  ";
    SearchSession::Overrides overrides;
    overrides.searchTimeoutSeconds = 1;
    f.Session().SetOverrides(overrides);
    f.Session().StartSearch();
    // No engine to ask: the search ends at once, but without the keyword's warning.
    EXPECT_TRUE(f.Session().HadNoEngine()) << "two spaces are a keyword";
    f.SetOption("QueryHistory", "0");
    f.view.keyword = "not kept";
    f.Session().StartSearch();
    f.Session().StopSearch();

    QueryHistoryFile history(f.app.path());
    std::string keyword;
    std::vector<std::string> kept;
    while (history.GetNext(keyword) != 0) {
        kept.push_back(keyword);
    }
    EXPECT_EQ(kept, (std::vector<std::string>{"  "}));

    // An overlong keyword is cut without splitting a UTF-8 character.
    f.SetOption("QueryHistory", "1");
    f.view.keyword = std::string(253, 'k') + "\xE2\x82\xAC";
    f.Session().StartSearch();
    f.Session().StopSearch();
    EXPECT_EQ(f.Session().CurrentKeyword(), std::string(253, 'k'));
}

TEST(SearchSession, ManyRapidStartStopCyclesOfTenWorkersBesideLinkValidation) {
    // Searches of ten workers started and stopped again and again, each stopped at another
    // moment of its exchanges, with link validation of eight checkers running beside them.
    constexpr int kCycles = 500;
    constexpr int kMomentsMs = 7;
    constexpr int kAddresses = 12;
    // Workers and checkers still alive, at most, when the next cycle starts.
    constexpr int kBacklog = 100;
    constexpr int kBacklogWaitMs = 10000;
    FixtureServer server([](const std::string& request) {
        if (request.rfind("HEAD ", 0) == 0) {
            return FixtureReply{.bytes = "HTTP/1.0 200 OK\r\n\r\n"};
        }
        return FixtureReply{.bytes = httpAnswer(resultPage("r", firstOffset(request), 20)),
                            .chunkSize = 97,
                            .chunkDelay = std::chrono::milliseconds(1)};
    });
    SessionFixture f;
    for (int i = 0; i < 10; ++i) {
        f.AddEngine("r" + std::to_string(i), server.Url(""), requestPath("r"));
    }
    f.SetOption("MaxEngine", "10");
    f.SetOption("MaxResult", "5000");
    CountingLinkTarget checked;
    LinkCheckManager validation;
    validation.SetTarget(&checked);
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        for (int row = 0; row < kAddresses; ++row) {
            validation.Add(server.Url("/" + std::to_string(row)), row);
        }
        validation.StartChecks();
        f.Session().StartSearch();
        runEventsFor(cycle % kMomentsMs);
        f.Session().StopSearch();
        if (cycle % 2 == 0) {
            validation.StopAll();
        }
        // Stopped workers end once the user-interface thread has answered their last notice; a
        // machine too busy to answer them between cycles would pile up threads without bound.
        runEventsUntil([] { return CHttpSearch::LiveCount() + CURLCheck::LiveCount() < kBacklog; },
                       kBacklogWaitMs);
    }
    validation.StopAll();
    EXPECT_TRUE(CHttpSearch::WaitForAllEnded(10000));
    EXPECT_TRUE(CURLCheck::WaitForAllEnded(10000));
    EXPECT_GT(checked.states, 0) << "validation did run beside the searches";
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "nothing leaks across the cycles";
#endif
}

// A real origin (nginx) and an HTTPS one, each directly and through a real proxy (tinyproxy,
// with a CONNECT tunnel for https). This program trusts the test's own authority.
TEST(SearchSession, RealAndHttpsOriginsDirectAndThroughAProxy) {
    static TestCertificates certificates;
    ASSERT_TRUE(certificates.Ok()) << certificates.Error();
    certificates.Trust();
    FixtureServer tls(FixtureServer::Answering(httpAnswer(resultPage("tls", 1, 3))),
                      {certificates.ServerCertificate(), certificates.ServerKey()});
    TempDir root;
    writeFileBytes(root.file("page.html"), resultPage("n", 1, 3));
    NginxOrigin nginx;
    ASSERT_TRUE(nginx.Start(root.path())) << nginx.Error();
    TinyProxy proxy;
    ASSERT_TRUE(proxy.Start()) << proxy.Error();
    const std::vector<std::vector<std::string>> origins = {
        {"n", "http://127.0.0.1:" + std::to_string(nginx.Port()),
         "/page.html?q=$KEY$&first=$FIRST$"},
        {"tls", "https://localhost:" + std::to_string(tls.Port()), requestPath("tls")}};
    for (const std::vector<std::string>& origin : origins) {
        for (const bool viaProxy : {false, true}) {
            SCOPED_TRACE(origin[1] + (viaProxy ? " through the proxy" : " direct"));
            SessionFixture f;
            f.AddEngine(origin[0], origin[1], origin[2]);
            f.SetOption("MaxResult", "3");
            if (viaProxy) {
                f.UseProxy(proxy.Port());
            }
            ASSERT_TRUE(f.Search());
            EXPECT_EQ(f.view.LastStatus(), "Search Completed");
            ASSERT_EQ(f.view.rows.size(), 3u);
            EXPECT_EQ(f.view.rows[0].address.view(), origin[1] + "/r/" + origin[0] + "/1");
        }
    }
    EXPECT_EQ(tls.ServerNames(), (std::vector<std::string>{"localhost", "localhost"}));
    for (const std::string& request : tls.Requests()) {
        EXPECT_EQ(request.rfind("GET /tls?q=cats&first=", 0), 0u) << "origin form in the tunnel";
    }
}

// A search over engines that refuse in every way an engine can, beside one whose list runs
// dry: each refusing engine is asked once, the dry one until its empty page, and the search
// ends as soon as they are all done, long before its time-out. The report and the health file
// say what happened to each.
TEST(SearchSession, EnginesThatRefuseAreAskedOnceAndTheSearchEndsWhenAllAreDone) {
    std::mutex mutex;
    std::map<std::string, int> asked;
    FixtureServer server([&](const std::string& request) {
        static const std::map<std::string, std::string> kAnswers = {
            {"busy", "HTTP/1.0 429 Too Many Requests\r\n\r\nslow down"},
            {"captcha", httpAnswer("<form id=\"challenge-form\">Are you a robot?</form>")},
            {"broken", "HTTP/1.0 500 Internal Server Error\r\n\r\noops"}};
        const std::string engine = engineOf(request);
        {
            std::lock_guard<std::mutex> lock(mutex);
            ++asked[engine];
        }
        if (engine == "dry") {
            const int offset = firstOffset(request);
            return FixtureReply{
                .bytes = httpAnswer(offset <= 21 ? resultPage("dry", offset, 3) : std::string())};
        }
        return FixtureReply{.bytes = kAnswers.at(engine)};
    });
    SessionFixture f;
    for (const char* name : {"dry", "busy", "captcha", "broken"}) {
        f.AddEngine(name, server.Url(""), requestPath(name));
    }
    f.AddEngine("refused", "http://127.0.0.1:1", requestPath("refused"));
    f.SetOption("MaxResult", "5000");
    ASSERT_TRUE(f.Search(20000)) << "done long before the time-out of 90 seconds";
    EXPECT_EQ(f.view.LastStatus(), "Search Completed");
    EXPECT_EQ(asked,
              (std::map<std::string, int>{{"broken", 1}, {"busy", 1}, {"captcha", 1}, {"dry", 4}}));
    EXPECT_EQ(f.view.rows.size(), 9u);

    std::map<std::string, std::string> states;
    for (const EngineRecord& record : f.Session().Account().Records()) {
        states[record.name] = EngineAccount::StateText(record);
    }
    const EngineRecord& refused =
        f.Session().Account().Records()[f.Session().Account().Find("refused")];
    EXPECT_EQ(states, (std::map<std::string, std::string>{
                          {"dry", "no more pages"},
                          {"busy", "blocked"},
                          {"captcha", "blocked"},
                          {"broken", "failed: HTTP/1.0 500 Internal Server Error"},
                          {"refused", "failed: " + refused.error}}));
    EXPECT_FALSE(refused.error.empty());

    f.Session().WaitForHealth();
    EngineHealth health(f.app.path());
    ASSERT_TRUE(health.Load());
    EXPECT_EQ(health.Summarise("The Web", "captcha", 0).lastFailure, "blocked: challenge page");
    EXPECT_EQ(health.Summarise("The Web", "busy", 0).lastFailure,
              "blocked: HTTP/1.0 429 Too Many Requests");
    EXPECT_EQ(health.Summarise("The Web", "dry", 0).successes, 1);
}

// An engine blocked three searches in a row rests in its own category only; one that found
// results before it was blocked counts as having found results and never rests.
TEST(SearchSession, OnlyBlocksWithoutResultsMakeAnEngineRestInItsCategory) {
    std::mutex mutex;
    std::map<std::string, int> asked;
    FixtureServer server([&](const std::string& request) {
        const std::string engine = engineOf(request);
        {
            std::lock_guard<std::mutex> lock(mutex);
            ++asked[engine];
        }
        const bool refuse = engine == "busy" || (engine == "early" && firstOffset(request) > 1);
        if (refuse) {
            return FixtureReply{.bytes = "HTTP/1.0 429 Too Many Requests\r\n\r\n"};
        }
        return FixtureReply{.bytes = httpAnswer(resultPage(engine, firstOffset(request), 2))};
    });
    SessionFixture f;
    f.AddEngine("busy", server.Url(""), requestPath("busy"));
    f.AddEngine("early", server.Url(""), requestPath("early"));
    f.AddEngine("busy", server.Url(""), requestPath("busy"), "Podcasts");
    f.SetOption("MaxResult", "5000");
    for (int search = 1; search <= 4; ++search) {
        ASSERT_TRUE(f.Search()) << search;
        EXPECT_EQ(f.view.LastStatus(), "Search Completed");
    }
    EXPECT_EQ(asked["busy"], 3);
    EXPECT_EQ(asked["early"], 8) << "page 1 and the 429 of page 2, four searches";
    const auto restText = std::find_if(
        f.view.statusTexts.begin(), f.view.statusTexts.end(),
        [](const std::string& text) { return text.rfind("busy rests until ", 0) == 0; });
    EXPECT_NE(restText, f.view.statusTexts.end());
    const EngineAccount& account = f.Session().Account();
    ASSERT_GE(account.Find("busy"), 0);
    EXPECT_EQ(EngineAccount::StateText(account.Records()[account.Find("busy")]), "resting");

    f.view.category = "Podcasts";
    ASSERT_TRUE(f.Search());
    EXPECT_EQ(asked["busy"], 4) << "the Podcasts engine of the same name still searches";
}

// Two engines find the same page behind their own redirects: the addresses are cleaned to the
// page, the second is refused as a duplicate, and the one row names both engines.
TEST(SearchSession, OnePageFoundByTwoEnginesIsOneRowNamingBoth) {
    FixtureServer server([](const std::string& request) {
        const std::string engine = engineOf(request);
        const std::string wrapped =
            engine == "duck" ? "//duckduckgo.com/l/?uddg=https%3A%2F%2Fpage.example%2Fx&amp;rut=abc"
                             : "https://r.search.yahoo.com/_ylt=A/RV=2/RE=1/RO=10/"
                               "RU=https%3a%2f%2fPAGE.example%3a443%2fx/RK=2/RS=q";
        return FixtureReply{.bytes =
                                httpAnswer(firstOffset(request) == 1
                                               ? "<r><a href=\"" + wrapped + "\">Page</a><p>s</p>\n"
                                               : std::string())};
    });
    SessionFixture f;
    f.AddEngine("duck", server.Url(""), requestPath("duck"));
    f.AddEngine("yahoo", server.Url(""), requestPath("yahoo"));
    f.SetOption("AutoRemoveUrl", "1");
    f.SetOption("MaxResult", "5000");
    f.SetOption("SearchTimeout", "1");
    ASSERT_TRUE(f.Search());
    ASSERT_EQ(f.Session().Results().Count(), 1);
    const SearchResult& kept = *f.Session().Results().Get(0);
    EXPECT_EQ(AddressKey::Normalise(kept.address.view()), "https://page.example/x");
    EXPECT_TRUE(kept.engine.view() == "duck, yahoo" || kept.engine.view() == "yahoo, duck")
        << kept.engine.view();
    EXPECT_EQ(f.view.updatedRows, 1);

    f.SetOption("CleanAddresses", "0");
    ASSERT_TRUE(f.Search());
    EXPECT_EQ(f.Session().Results().Count(), 2);
}

TEST(SearchSession, EngineListTextFitsTheEngineField) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(SearchSession::EngineListText(Names{"Bing", "Yahoo"}), "Bing, Yahoo");
    EXPECT_EQ(SearchSession::EngineListText(Names{"Bing", "Yahoo", "DuckDuckGo"}), "Bing +2");
    EXPECT_EQ(SearchSession::EngineListText(Names{std::string(20, 'n'), "Bing"}),
              std::string(17, 'n') + " +1");
    // The cut falls inside the two bytes of the c cedilla, which goes whole.
    EXPECT_EQ(SearchSession::EngineListText(Names{"Mot\xc3\xb6rhead Searx\xc3\xa7z", "B"}),
              "Mot\xc3\xb6rhead Searx +1");
}
