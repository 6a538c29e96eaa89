#include "search/ProxyTunnel.h"

#include "search/SocketConnector.h"

#include "support/FixtureServer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

namespace {

constexpr int kTimeoutMs = 5000;
constexpr std::chrono::milliseconds kWaitLimit{2000};
constexpr std::string_view kOrigin = "localhost:4433";

} // namespace

TEST(ProxyTunnel, SendsConnectAndAcceptsOnlyA2xxAnswer) {
    struct Case {
        std::string answer;
        bool opened;
        int detail;
    };
    const std::vector<Case> cases = {
        {"HTTP/1.0 200 Connection established\r\n\r\n", true, 0},
        {"HTTP/1.1 299 Fine\r\nVia: proxy\r\n\r\n", true, 0},
        // A proxy that refuses: its status is the detail.
        {"HTTP/1.0 403 Forbidden\r\n\r\n", false, 403},
        {"HTTP/1.0 199 Early\r\n\r\n", false, 199},
        {"HTTP/1.0 300 Elsewhere\r\n\r\n", false, 300},
        {"Not HTTP at all\r\n\r\n", false, -1},
        // Closing before the blank line reads as a reset.
        {"HTTP/1.0 200 Connection established\r\n", false, ECONNRESET},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        FixtureServer proxy(FixtureServer::Answering(c.answer));
        ExchangeSocket socket;
        SocketConnector connector(socket, kTimeoutMs, kTimeoutMs);
        connector.Create();
        ASSERT_TRUE(connector.Configure().IsDone());
        ASSERT_TRUE(connector.Connect("127.0.0.1", "127.0.0.1", proxy.Port()).IsDone());

        const HttpOutcome outcome =
            ProxyTunnel(socket, kTimeoutMs, kTimeoutMs).Open(std::string(kOrigin));
        socket.Close();
        EXPECT_EQ(outcome.IsDone(), c.opened);
        if (!c.opened) {
            EXPECT_TRUE(outcome.IsFailed());
            EXPECT_EQ(outcome.Code(), 1);
            EXPECT_EQ(outcome.Text(), "Error: Proxy CONNECT.");
            EXPECT_EQ(outcome.Detail(), c.detail);
        }
        const std::vector<std::string> asked = proxy.WaitForRequests(1, kWaitLimit);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0], "CONNECT localhost:4433 HTTP/1.0\r\nHost: localhost:4433\r\n\r\n");
    }
}
