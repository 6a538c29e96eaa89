#include "search/HttpClient.h"

#include "search/RecordingClient.h"

#include "support/FixtureServer.h"
#include "support/LoopbackPort.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kWaitLimit = 5s;
// Far below the client's default limits, far above a loopback exchange under sanitizers.
constexpr int kShortTimeoutMs = 300;
constexpr std::chrono::milliseconds kPromptly = 1s;
constexpr std::string_view kAnswer =
    "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<p>hello</p>";

// Every byte value, NUL included, in a pattern that does not repeat at piece boundaries.
std::string patternBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 131 + i / 4093) & 0xFF);
    }
    return bytes;
}

std::string postRequest(const std::string& target, const std::string& body) {
    return "POST " + target + " HTTP/1.0\r\n" + std::string(kCommonLines) +
           "Host: 127.0.0.1\r\nContent-type: application/x-www-form-urlencoded\r\n"
           "Content-length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body + "\r\n\r\n";
}

// Runs client.Execute on a thread, cancels it once event has been seen (and after a short
// pause), and returns how long Execute took to return after the cancel.
std::chrono::milliseconds cancelAfter(RecordingClient& client, const std::string& event) {
    std::thread exchange([&] { client.Execute(); });
    EXPECT_TRUE(client.WaitForEvent(event));
    std::this_thread::sleep_for(100ms);
    const auto cancelled = std::chrono::steady_clock::now();
    client.Cancel();
    exchange.join();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 cancelled);
}

} // namespace

TEST(HttpClient, SendsTheExactRequestOfEachMethodDirectlyAndThroughAProxy) {
    // The answer waits a moment, so the two line ends after a POST body have arrived before
    // the client reads its answer and closes the connection with a reset.
    FixtureServer server(FixtureServer::Answering(
        {.bytes = std::string(kAnswer), .delay = std::chrono::milliseconds(30)}));
    const std::string port = std::to_string(server.Port());
    struct Case {
        uint32_t method;
        std::string url;
        bool viaProxy;
        std::string body;
        std::string request;
    };
    const std::vector<Case> cases = {
        // An explicit port never reaches the Host line; the query string stays in the target.
        {HttpClient::kMethodGet, server.Url("/find?q=a+b&n=10"), false, "",
         getRequest("/find?q=a+b&n=10", "127.0.0.1")},
        // Content length 10, then the body and two line ends more.
        {HttpClient::kMethodPost, server.Url("/post"), false, "q=abcdefgh",
         postRequest("/post", "q=abcdefgh")},
        {HttpClient::kMethodHead, server.Url("/head"), false, "",
         "HEAD /head HTTP/1.0\r\nAccept: image/gif, image/x-bitmap, image/jpeg, */*\r\n"
         "Accept-Language: en\r\nHost: 127.0.0.1\r\n\r\n"},
        // An unknown method is sent as GET; a URL without scheme or path asks for "/".
        {2, "127.0.0.1:" + port, false, "", getRequest("/", "127.0.0.1")},
        // A body is cut to its field.
        {HttpClient::kMethodPost, server.Url("/post"), false, std::string(600, 'b'),
         postRequest("/post", std::string(511, 'b'))},
        // By proxy the URL's host is never looked up: only the proxy is reached.
        {HttpClient::kMethodGet, "http://example.invalid:8000/p?q=1", true, "",
         getRequest("http://example.invalid:8000/p?q=1", "example.invalid")},
        {HttpClient::kMethodGet, "example.invalid/p", true, "",
         getRequest("http://example.invalid/p", "example.invalid")},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.url);
        RecordingClient client;
        client.SetMethod(c.method);
        client.SetUrl(c.url);
        client.SetBody(c.body);
        client.SetProxy("127.0.0.1", port, c.viaProxy);
        client.Execute();
        EXPECT_EQ(client.Log(), kCompleted);
        EXPECT_TRUE(client.Done());
        EXPECT_EQ(client.completedResponse, kAnswer);
        EXPECT_EQ(client.received, kAnswer);
        const std::vector<std::string> requests = server.WaitForRequests(i + 1, kWaitLimit);
        ASSERT_EQ(requests.size(), i + 1);
        EXPECT_EQ(requests[i], c.request);
    }

    // A refusal comes before any socket exists (so no notice 11), without a detail.
    RecordingClient noProxyHost;
    noProxyHost.SetUrl("http://example.invalid/");
    noProxyHost.SetProxy("", port, true);
    noProxyHost.Execute();
    EXPECT_EQ(noProxyHost.Log(), failedBeforeSocket(5, "Error: Proxy Not Specified."));
    EXPECT_EQ(noProxyHost.ErrorDetail(), 0);
    EXPECT_FALSE(noProxyHost.Done());
}

TEST(HttpClient, ReachesAnIpv6ServerDirectlyThroughAProxyAndByName) {
    FixtureServer server(FixtureServer::Answering(std::string(kAnswer)), {},
                         FixtureServer::Loopback::Ipv6);
    if (!server.Listening()) {
        GTEST_SKIP() << "no ::1 on this machine";
    }
    const std::string port = std::to_string(server.Port());
    // A name that only the test's resolver knows, with the IPv6 loopback address alone.
    const HostResolver resolver([](const std::string& host) {
        HostResolver::Answer answer;
        sockaddr_storage address{};
        if (host == "v6.test" && HostResolver::ParseLiteral("::1", address)) {
            answer.addresses.push_back(address);
        }
        return answer;
    });
    struct Case {
        std::string url;
        std::string proxyHost;
        std::string request;
    };
    const std::vector<Case> cases = {
        {server.Url("/v6"), "", getRequest("/v6", "[::1]")},
        {"http://[::1]:8000/p", "[::1]", getRequest("http://[::1]:8000/p", "[::1]")},
        {"http://v6.test:" + port + "/n", "", getRequest("/n", "v6.test")},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].url);
        RecordingClient client;
        client.SetResolver(resolver);
        client.SetUrl(cases[i].url);
        client.SetProxy(cases[i].proxyHost, port, !cases[i].proxyHost.empty());
        client.Execute();
        EXPECT_EQ(client.Log(), kCompleted);
        EXPECT_EQ(client.completedResponse, kAnswer);
        const std::vector<std::string> requests = server.WaitForRequests(i + 1, kWaitLimit);
        ASSERT_EQ(requests.size(), i + 1);
        EXPECT_EQ(requests[i], cases[i].request);
    }
}

TEST(HttpClient, FailuresOnceTheSocketExists) {
    RecordingClient refused;
    refused.SetUrl("http://127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/");
    refused.Execute();
    EXPECT_EQ(refused.Log(), failedAfterSocket(1, "Error: connect()"));
    EXPECT_EQ(refused.ErrorDetail(), ECONNREFUSED);
    EXPECT_FALSE(refused.Done());

    // With no notice target the exchange runs the same, silently.
    HttpClient silent;
    silent.SetUrl("http://127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/");
    silent.Execute();
    EXPECT_EQ(silent.ErrorText(), "Error: connect()");
}

TEST(HttpClient, EmptyAnswerIsReportedThenCompletes) {
    FixtureServer server(FixtureServer::Answering(FixtureReply{}));
    RecordingClient client;
    client.SetUrl(server.Url("/"));
    client.Execute();
    EXPECT_EQ(client.Log(), (Events{"notice 11", "notice 9", "notice 10",
                                    "error 0 Error: Recieve NULL", "notice 0", "complete"}));
    EXPECT_TRUE(client.Done());
    EXPECT_EQ(client.completedResponse, "");
}

TEST(HttpClient, ReceiveTimeoutComesAfterTheBytesReceived) {
    const std::string partial = "HTTP/1.0 200 OK\r\n\r\npart of a page";
    FixtureServer server(FixtureServer::Answering(
        FixtureReply{.bytes = partial, .ending = FixtureReply::Ending::KeepOpen}));
    RecordingClient client;
    client.SetUrl(server.Url("/"));
    client.SetReceiveTimeout(kShortTimeoutMs);
    const auto start = std::chrono::steady_clock::now();
    client.Execute();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(client.Log(), (Events{"notice 11", "notice 9", "notice 10", "data",
                                    "error 1 Error: recieve()", "notice 1"}));
    EXPECT_EQ(client.ErrorDetail(), ETIMEDOUT);
    EXPECT_EQ(client.received, partial);
    EXPECT_FALSE(client.Done());
    EXPECT_GE(elapsed, std::chrono::milliseconds(kShortTimeoutMs));
    EXPECT_LT(elapsed, kWaitLimit);
}

TEST(HttpClient, LargeAnswersArriveWholeInBoundedPieces) {
    // A trickled megabyte: pieces never exceed 4095 bytes, each ends in a zero byte, and
    // together they are the answer.
    const std::string megabyte = patternBytes(1 << 20);
    FixtureServer trickling(FixtureServer::Answering(
        FixtureReply{.bytes = megabyte, .chunkSize = 100003, .chunkDelay = 1ms}));
    RecordingClient client;
    client.SetUrl(trickling.Url("/"));
    client.Execute();
    EXPECT_EQ(client.Log(), kCompleted);
    EXPECT_LE(client.largestPiece, HttpClient::kMaxPiece);
    EXPECT_TRUE(client.piecesTerminated);
    EXPECT_TRUE(client.received == megabyte);
    EXPECT_TRUE(client.completedResponse == megabyte);

    // A limit a little above one read: reads fill the response until it could overflow, then
    // go elsewhere while only the rest up to the limit is kept.
    const std::size_t limit = HttpClient::kReadSize + 1000;
    RecordingClient limited;
    limited.SetResponseLimit(limit);
    limited.SetUrl(trickling.Url("/"));
    limited.Execute();
    EXPECT_EQ(limited.Log(), kCompleted);
    EXPECT_TRUE(limited.piecesTerminated);
    EXPECT_TRUE(limited.received == megabyte);
    EXPECT_TRUE(limited.completedResponse == megabyte.substr(0, limit));

    const std::string twentyMegabytes = patternBytes(20 << 20);
    FixtureServer bulk(FixtureServer::Answering(twentyMegabytes));
    RecordingClient large;
    large.SetUrl(bulk.Url("/"));
    large.Execute();
    EXPECT_EQ(large.Log(), kCompleted);
    EXPECT_EQ(large.completedResponse.size(), twentyMegabytes.size());
    EXPECT_TRUE(large.completedResponse == twentyMegabytes);
}

TEST(HttpClient, ResponseLimitKeepsTheFirstBytesAndStillHandsOnEveryPiece) {
    FixtureServer server(FixtureServer::Answering(std::string(kAnswer)));
    for (const std::size_t limit :
         {std::size_t{0}, std::size_t{5}, HttpClient::kKeepWholeResponse}) {
        SCOPED_TRACE(limit);
        RecordingClient client;
        client.SetResponseLimit(limit);
        client.SetUrl(server.Url("/"));
        client.Execute();
        // Nothing kept is not nothing received: no "Recieve NULL" for an answer with bytes.
        EXPECT_EQ(client.Log(), kCompleted);
        EXPECT_EQ(client.completedResponse, kAnswer.substr(0, limit));
        EXPECT_EQ(client.received, kAnswer);
        EXPECT_EQ(client.ReceivedBytes(), kAnswer.size());
    }
}

// A reset mid-answer is one of the hostile servers (vantorell_tests_hostile).
TEST(HttpClient, EarlyCloseFailsTheSendWithoutSigpipe) {
    // A server that drops the connection at once: the client, slow to handle its connected
    // notice, sends into a connection the server has already reset. The send fails; it must
    // never raise SIGPIPE.
    FixtureServer closing(FixtureServer::Answering(FixtureReply{}));
    closing.SetCloseAtOnce(true);
    RecordingClient late;
    late.slowNotice = HttpClient::kNoticeConnected;
    late.SetUrl(closing.Url("/"));
    late.Execute();
    EXPECT_EQ(late.Log(), (Events{"notice 11", "notice 9", "error 1 Error: send()", "notice 1"}));
    EXPECT_TRUE(late.ErrorDetail() == EPIPE || late.ErrorDetail() == ECONNRESET)
        << late.ErrorDetail();
}

TEST(HttpClient, CancelEndsTheExchangeAtOnceAndSilently) {
    // While the receive waits on a server that never answers.
    FixtureServer stalling(FixtureServer::Answering(FixtureReply{.stall = true}));
    RecordingClient receiving;
    receiving.SetUrl(stalling.Url("/"));
    EXPECT_LT(cancelAfter(receiving, "notice 10"), kPromptly);
    EXPECT_EQ(receiving.Log(), (Events{"notice 11", "notice 9", "notice 10"}));
    EXPECT_FALSE(receiving.Done());

    // From inside a notice or a piece, as a stop during a hand-over to another thread does.
    FixtureServer answering(FixtureServer::Answering(patternBytes(1 << 16)));
    RecordingClient inNotice;
    inNotice.cancelOnNotice = HttpClient::kNoticeConnected;
    inNotice.SetUrl(answering.Url("/"));
    inNotice.Execute();
    EXPECT_EQ(inNotice.Log(), (Events{"notice 11", "notice 9"}));
    RecordingClient inData;
    inData.cancelOnData = true;
    inData.SetUrl(answering.Url("/"));
    inData.Execute();
    EXPECT_EQ(inData.Log(), (Events{"notice 11", "notice 9", "notice 10", "data"}));
    EXPECT_LE(inData.received.size(), HttpClient::kMaxPiece);

    // Before the exchange starts.
    RecordingClient early;
    early.SetUrl(answering.Url("/"));
    early.Cancel();
    early.Execute();
    EXPECT_TRUE(early.Log().empty());
    EXPECT_TRUE(early.Cancelled());
}
