#include "search/SocketConnector.h"

#include "search/ConnectionRace.h"

#include "support/FixtureServer.h"
#include "support/LoopbackPort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Far below the client's default limits, far above a loopback connect under sanitizers.
constexpr int kShortTimeoutMs = 300;
constexpr int kLongTimeoutMs = 5000;
constexpr std::chrono::milliseconds kPromptly = 1s;
constexpr std::string_view kLoopback = "127.0.0.1";

// A loopback listener whose accept queue is full: the kernel drops further connection requests,
// so a new connect waits without an answer. On address (IPv4 or IPv6) and port, or a free port.
class FullBacklogListener {
  public:
    static constexpr int kMaxFillers = 8;
    static constexpr int kFillerWaitMs = 200;

    explicit FullBacklogListener(const std::string& address = std::string(kLoopback),
                                 uint16_t port = 0) {
        sockaddr_storage where{};
        if (!HostResolver::ParseLiteral(address, where)) {
            return;
        }
        reinterpret_cast<sockaddr_in&>(where).sin_port = htons(port);
        socklen_t size = HostResolver::AddressLength(where);
        auto* const name = reinterpret_cast<sockaddr*>(&where);
        m_listener = ::socket(where.ss_family, SOCK_STREAM, 0);
        if (::bind(m_listener, name, size) != 0 || ::listen(m_listener, 0) != 0) {
            return;
        }
        ::getsockname(m_listener, name, &size);
        m_port = ntohs(reinterpret_cast<sockaddr_in&>(where).sin_port);
        for (int i = 0; i < kMaxFillers && !m_full; ++i) {
            const int filler = ::socket(where.ss_family, SOCK_STREAM | SOCK_NONBLOCK, 0);
            m_fillers.push_back(filler);
            ::connect(filler, name, size);
            pollfd wait{filler, POLLOUT, 0};
            m_full = ::poll(&wait, 1, kFillerWaitMs) == 0;
        }
    }
    ~FullBacklogListener() {
        for (const int filler : m_fillers) {
            ::close(filler);
        }
        if (m_listener >= 0) {
            ::close(m_listener);
        }
    }
    bool Full() const {
        return m_full;
    }
    uint16_t Port() const {
        return m_port;
    }

  private:
    int m_listener = -1;
    uint16_t m_port = 0;
    bool m_full = false;
    std::vector<int> m_fillers;
};

// Creates and configures a socket, then connects it to host (or to fallback read as an
// address) at port, looking host up with resolver.
HttpOutcome connectTo(ExchangeSocket& socket, const std::string& host, const std::string& fallback,
                      int port, int sendTimeoutMs = kLongTimeoutMs,
                      const HostResolver& resolver = HostResolver()) {
    SocketConnector connector(socket, kLongTimeoutMs, sendTimeoutMs);
    connector.SetResolver(resolver);
    connector.Create();
    const HttpOutcome configured = connector.Configure();
    EXPECT_TRUE(configured.IsDone()) << configured.Text();
    return connector.Connect(host, fallback, port);
}

// The addresses of literals, port 0.
std::vector<sockaddr_storage> addresses(const std::vector<std::string>& literals) {
    std::vector<sockaddr_storage> found(literals.size());
    for (std::size_t i = 0; i < literals.size(); ++i) {
        HostResolver::ParseLiteral(literals[i], found[i]);
    }
    return found;
}

} // namespace

TEST(SocketConnector, LookupAndConnectFailures) {
    const std::string loopback(kLoopback);
    const std::string host64 = std::string(56, 'h') + ".invalid";
    struct Case {
        std::string host;
        std::string fallback;
        int port;
        int code;
        int detail; // -1: any detail but 0
        std::string text;
    };
    const std::vector<Case> cases = {
        // Port 0 refuses like any closed port.
        {loopback, loopback, 0, 1, -1, "Error: connect()"},
        {loopback, loopback, closedLoopbackPort(), 1, ECONNREFUSED, "Error: connect()"},
        {loopback, loopback, 65536, 1, EINVAL, "Error: connect()"},
        {"nonexistent.invalid", "nonexistent.invalid", 80, 7, -1, "Error: Resolve Host."},
        {host64, host64, 80, 7, -1, "Error: Resolve Host."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host + " " + std::to_string(c.port));
        ExchangeSocket socket;
        const HttpOutcome outcome = connectTo(socket, c.host, c.fallback, c.port);
        EXPECT_TRUE(outcome.IsFailed());
        EXPECT_EQ(outcome.Code(), c.code);
        EXPECT_EQ(outcome.Text(), c.text);
        if (c.detail == -1) {
            EXPECT_NE(outcome.Detail(), 0);
        } else {
            EXPECT_EQ(outcome.Detail(), c.detail);
        }
    }
}

TEST(SocketConnector, SlowConnectEndsAtTheSendTimeoutOrAtCancel) {
    FullBacklogListener listener;
    if (!listener.Full()) {
        GTEST_SKIP() << "the loopback listener's queue did not fill";
    }
    const std::string loopback(kLoopback);

    ExchangeSocket cancelled;
    HttpOutcome stopped = HttpOutcome::Done();
    std::thread connecting(
        [&] { stopped = connectTo(cancelled, loopback, loopback, listener.Port()); });
    std::this_thread::sleep_for(100ms);
    const auto cancelledAt = std::chrono::steady_clock::now();
    cancelled.Cancel();
    connecting.join();
    EXPECT_LT(std::chrono::steady_clock::now() - cancelledAt, kPromptly);
    EXPECT_TRUE(stopped.IsStopped());

    ExchangeSocket limited;
    const auto start = std::chrono::steady_clock::now();
    const HttpOutcome outcome =
        connectTo(limited, loopback, loopback, listener.Port(), kShortTimeoutMs);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kShortTimeoutMs));
    EXPECT_TRUE(outcome.IsFailed());
    EXPECT_EQ(outcome.Code(), 1);
    EXPECT_EQ(outcome.Text(), "Error: connect()");
    EXPECT_EQ(outcome.Detail(), ETIMEDOUT);
}

TEST(SocketConnector, HappyEyeballsFallsBackToTheAddressThatAnswers) {
    // A name whose first address never answers (a listener with a full queue, on the other
    // family when there is ::1) and whose second one does, on the same port.
    FixtureServer server(FixtureServer::Answering(""));
    int raced = 0;
    for (const std::string silent : {"::1", "127.0.0.2"}) {
        SCOPED_TRACE(silent);
        FullBacklogListener listener(silent, server.Port());
        if (!listener.Full()) {
            continue;
        }
        ++raced;
        const HostResolver resolver([&](const std::string&) {
            return HostResolver::Answer{addresses({silent, std::string(kLoopback)})};
        });
        ExchangeSocket socket;
        const auto start = std::chrono::steady_clock::now();
        const HttpOutcome outcome =
            connectTo(socket, "dual.test", "", server.Port(), kLongTimeoutMs, resolver);
        ASSERT_TRUE(outcome.IsDone()) << outcome.Text() << " " << outcome.Detail();
        EXPECT_GE(std::chrono::steady_clock::now() - start, ConnectionRace::kAttemptDelay);
        sockaddr_in peer{};
        socklen_t size = sizeof peer;
        ::getpeername(socket.Descriptor(), reinterpret_cast<sockaddr*>(&peer), &size);
        EXPECT_EQ(peer.sin_family, AF_INET);
        EXPECT_EQ(peer.sin_addr.s_addr, htonl(INADDR_LOOPBACK));
    }

    // The attempts alternate the families, beginning with the one the resolver put first.
    const auto found = addresses({"::1", "::2", "::3", "127.0.0.1", "127.0.0.2"});
    std::vector<long> order;
    for (const sockaddr_storage& address : ConnectionRace::AttemptOrder(found)) {
        order.push_back(std::find_if(found.begin(), found.end(),
                                     [&](const auto& one) {
                                         return std::memcmp(&one, &address, sizeof one) == 0;
                                     }) -
                        found.begin());
    }
    EXPECT_EQ(order, (std::vector<long>{0, 3, 1, 4, 2}));
    if (raced == 0) {
        GTEST_SKIP() << "no loopback listener's queue filled";
    }
}
