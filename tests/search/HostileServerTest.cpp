// Servers and proxies that misbehave, on 127.0.0.1: each must end its exchange with the right
// notice and status text, free the worker's slot for the next page, cost bounded memory, and
// never keep a stop waiting.
#include "search/SessionFixture.h"

#include "search/CHttpSearch.h"
#include "search/HttpClient.h"

#include "support/EventLoopWait.h"
#include "support/FixtureServer.h"
#include "support/LoopbackPort.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fstream>

namespace {

using namespace std::chrono_literals;

constexpr int kWaitMs = 20000;
// 200 MB through the grammar in a build without optimisation, with sanitizers.
constexpr int kHugeWaitMs = 180000;
// The client's own receive limit here, and the setting (whole seconds) a search runs with:
// both well above the trickle's pause between bytes.
constexpr int kClientTimeoutMs = 1500;
constexpr const char* kRecvTimeoutSetting = "2";
constexpr std::chrono::milliseconds kTrickleDelay = 1s;
// Stopping a search only flags and wakes its workers, which takes milliseconds; the bound is
// wide for a loaded machine under sanitizers and still below the client's receive limit, which a
// stop that waited for the server would reach.
constexpr std::chrono::milliseconds kStopReturns = 500ms;
constexpr int kWorkersEndMs = 5000;
constexpr std::size_t kNulBytes = 1 << 20;
// The reset comes this far into a body that goes on much longer.
constexpr std::size_t kBytesBeforeReset = 100;
constexpr std::size_t kBodyAfterPage = 10000;
// More bytes than a trickle sends in the whole test.
constexpr std::size_t kEndlessTrickle = 1000;
// How long a stopped search ran: its worker is then waiting on or reading from its server.
constexpr int kRunBeforeStopMs = 200;
// The proxy's refusal of a tunnel, and its status as the failure's detail.
constexpr std::string_view kForbidden = "HTTP/1.0 403 Forbidden\r\n\r\n";
constexpr int kForbiddenStatus = 403;

// The engine's first page, as a well-behaved server sends it.
std::string firstPage() {
    return httpAnswer(resultPage("s", 1, 1));
}

// Records how one exchange ended.
class EndingClient : public HttpClient {
  public:
    int code = -1;
    std::string text;

  protected:
    void OnError() override {
        // An empty answer is reported and still completes; keep the first real failure.
        if (code < 0 || code == kCodeRecieveNull) {
            code = ErrorCode();
            text = ErrorText();
        }
        HttpClient::OnError();
    }
};

enum class Route {
    Direct,        // the fixture server is the engine's site
    RefusingProxy, // the fixture server is a proxy that refuses the https tunnel
    ClosedProxy    // the proxy's port has nobody listening
};

struct Hostile {
    const char* name;
    Route route;
    // The answer to the engine's first page; later pages get a page with one result.
    FixtureReply reply;
    // How the client's exchange ends: the failure's code and text, or -1 when it completes.
    int code;
    const char* text;
    int detail;
    std::size_t receivedBytes;
    // The status text the failure shows, if any, and the results the search lists before its
    // engine, which failed or parsed nothing, is asked no further page.
    const char* status;
    // The titles of those results, joined by "|".
    std::string titles;
};

std::vector<Hostile> hostileServers() {
    const FixtureReply silent{.stall = true};
    const FixtureReply trickle{.bytes = "HTT", .chunkSize = 1, .chunkDelay = kTrickleDelay};
    const std::string page = firstPage();
    const FixtureReply reset{.bytes = page + std::string(kBodyAfterPage, 'x'),
                             .ending = FixtureReply::Ending::Reset,
                             .resetAfter = page.size() + kBytesBeforeReset};
    const FixtureReply open{.bytes = page, .ending = FixtureReply::Ending::KeepOpen};
    const char* const timeout = "Connect Timeout";
    const char* const recv = "Error: recieve()";
    return {
        {"accepts and never answers", Route::Direct, silent, 1, recv, ETIMEDOUT, 0, timeout, ""},
        {"trickles a byte a second", Route::Direct, trickle, -1, "", 0, 3, nullptr, ""},
        {"resets mid-body", Route::Direct, reset, 1, recv, ECONNRESET,
         page.size() + kBytesBeforeReset, timeout, "s result 1"},
        {"sends only NUL bytes", Route::Direct, FixtureReply{.bytes = std::string(kNulBytes, '\0')},
         -1, "", 0, kNulBytes, nullptr, ""},
        {"never closes after a full page", Route::Direct, open, 1, recv, ETIMEDOUT, page.size(),
         timeout, "s result 1"},
        {"proxy refuses the tunnel", Route::RefusingProxy,
         FixtureReply{.bytes = std::string(kForbidden)}, 1, "Error: Proxy CONNECT.",
         kForbiddenStatus, 0, timeout, ""},
        {"proxy refuses the connection", Route::ClosedProxy, FixtureReply{}, 1, "Error: connect()",
         ECONNREFUSED, 0, timeout, ""},
    };
}

// Page one gets the row's answer; later pages a page with one result, or the row's answer too
// when every page is hostile. A refusing proxy refuses everything.
FixtureServer::Handler handlerFor(const Hostile& row, bool everyPage = false) {
    return [row, everyPage](const std::string& request) {
        const int first = firstOffset(request);
        if (everyPage || row.route == Route::RefusingProxy || first <= 1) {
            return row.reply;
        }
        return FixtureReply{.bytes = httpAnswer(resultPage("s", first, 1))};
    };
}

// An answer of 200 MB: a result, markup without results, another result.
FixtureReply hugeReply() {
    constexpr std::size_t kBlockBytes = 64 * 1024;
    constexpr std::size_t kBlocks = 3200;
    std::string block;
    while (block.size() < kBlockBytes) {
        block += "<p class=\"filler\">no result here</p>\n";
    }
    FixtureReply reply{.bytes = firstPage()};
    reply.repeated = block;
    reply.repeatCount = kBlocks;
    reply.tail = resultPage("s", 2, 1);
    return reply;
}

// The engine's site and the proxy of the row's route.
std::string websiteFor(const Hostile& row, const FixtureServer& server) {
    return row.route == Route::Direct ? server.Url("") : "https://www.example.invalid";
}

uint16_t proxyPortFor(const Hostile& row, const FixtureServer& server) {
    return row.route == Route::RefusingProxy ? server.Port() : closedLoopbackPort();
}

void configureSession(SessionFixture& f, const Hostile& row, const FixtureServer& server) {
    f.AddEngine("s", websiteFor(row, server), "/s?q=$KEY$&first=$FIRST$");
    f.SetOption("MaxEngine", "1");
    f.SetOption("RecvTimeout", kRecvTimeoutSetting);
    if (row.route != Route::Direct) {
        f.UseProxy(proxyPortFor(row, server));
    }
}

std::string titlesOf(const RecordingView& view) {
    std::string titles;
    for (const SearchResult& result : view.rows) {
        titles += (titles.empty() ? "" : "|") + result.title.str();
    }
    return titles;
}

long countOf(const RecordingView& view, const std::string& status) {
    return std::count(view.statusTexts.begin(), view.statusTexts.end(), status);
}

// Peak resident memory of the process since the last reset, and the reset itself.
std::size_t residentKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stoul(line.substr(field.size() + 1));
        }
    }
    return 0;
}

bool resetPeakResident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return static_cast<bool>(clear);
}

} // namespace

TEST(HostileServer, EachEndsWithItsNoticeAndItsEngineIsAskedOnce) {
    for (const Hostile& row : hostileServers()) {
        SCOPED_TRACE(row.name);
        FixtureServer server(handlerFor(row));

        // The exchange itself.
        EndingClient client;
        client.SetReceiveTimeout(kClientTimeoutMs);
        client.SetUrl(websiteFor(row, server) + "/s?q=x&first=1");
        client.SetProxy("127.0.0.1", std::to_string(proxyPortFor(row, server)),
                        row.route != Route::Direct);
        client.Execute();
        EXPECT_EQ(client.code, row.code);
        EXPECT_EQ(client.text, row.text);
        if (row.code >= 0) {
            EXPECT_EQ(client.ErrorDetail(), row.detail);
        }
        EXPECT_EQ(client.ReceivedBytes(), row.receivedBytes);

        // A search on it: the failure's status, and the search ends once its one engine is done.
        SessionFixture f;
        configureSession(f, row, server);
        f.Session().StartSearch();
        ASSERT_TRUE(f.WaitForEnd(kWaitMs));
        EXPECT_EQ(f.view.LastStatus(), "Search Completed");
        if (row.status != nullptr) {
            EXPECT_TRUE(f.view.Saw(row.status));
        } else {
            EXPECT_FALSE(f.view.Saw("Connect Timeout"));
        }
        EXPECT_EQ(titlesOf(f.view), row.titles);
        EXPECT_EQ(countOf(f.view, "Initialization done"), 1);
    }
}

TEST(HostileServer, StopReturnsAtOnceWhateverTheServerDoes) {
    std::vector<Hostile> rows = hostileServers();
    rows.push_back({"sends 200 MB", Route::Direct, hugeReply(), -1, "", 0, 0, nullptr, ""});
    for (Hostile& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.reply.chunkSize > 0) {
            row.reply.bytes.append(kEndlessTrickle, 'x');
        }
        FixtureServer server(handlerFor(row, true));
        SessionFixture f;
        configureSession(f, row, server);
        f.Session().StartSearch();
        // Until the request is out, or the route has failed.
        runEventsUntil(
            [&] { return f.view.Saw("Ready to recevie") || f.view.Saw("Connect Timeout"); },
            kWaitMs);
        runEventsFor(kRunBeforeStopMs);
        const auto start = std::chrono::steady_clock::now();
        f.Session().StopSearch();
        EXPECT_LT(std::chrono::steady_clock::now() - start, kStopReturns);
        EXPECT_TRUE(CHttpSearch::WaitForAllEnded(kWorkersEndMs));
    }
}

TEST(HostileServer, TwoHundredMegabytesStreamThroughInBoundedMemory) {
    // A search worker keeps none of the page: its read buffer (256 KiB), the piece in flight
    // and the grammar's capture fields. The rest of the bound is the sanitizers' bookkeeping
    // (freed blocks held in quarantine); a worker that kept the page would pass 400 MB.
    constexpr std::size_t kMemoryBoundKb = 128 * 1024;
    Hostile row{"sends 200 MB", Route::Direct, hugeReply(), -1, "", 0, 0, nullptr, ""};
    FixtureServer server(handlerFor(row));
    SessionFixture f;
    row.titles = "s result 1|s result 2|s result 11";
    configureSession(f, row, server);
    f.SetOption("MaxResult", "3");

    ASSERT_TRUE(resetPeakResident());
    const std::size_t before = residentKilobytes("VmRSS");
    ASSERT_TRUE(f.Search(kHugeWaitMs));
    const std::size_t peak = residentKilobytes("VmHWM");

    EXPECT_EQ(f.view.LastStatus(), "Search Completed");
    EXPECT_EQ(titlesOf(f.view), row.titles)
        << "the result after the 200 MB is found, and the slot takes "
           "page two";
    EXPECT_LT(peak - before, kMemoryBoundKb) << "peak " << peak << " KiB, before " << before;
}
