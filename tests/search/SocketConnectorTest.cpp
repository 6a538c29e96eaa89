#include "search/SocketConnector.h"

#include "support/LoopbackPort.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
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
// so a new connect waits without an answer.
class FullBacklogListener {
  public:
    static constexpr int kMaxFillers = 8;
    static constexpr int kFillerWaitMs = 200;

    FullBacklogListener() {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 0);
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
        for (int i = 0; i < kMaxFillers && !m_full; ++i) {
            const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            m_fillers.push_back(filler);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
            pollfd wait{filler, POLLOUT, 0};
            m_full = ::poll(&wait, 1, kFillerWaitMs) == 0;
        }
    }
    ~FullBacklogListener() {
        for (const int filler : m_fillers) {
            ::close(filler);
        }
        ::close(m_listener);
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
// address) at port.
HttpOutcome connectTo(ExchangeSocket& socket, const std::string& host, const std::string& fallback,
                      int port, int sendTimeoutMs = kLongTimeoutMs) {
    SocketConnector connector(socket, kLongTimeoutMs, sendTimeoutMs);
    connector.Create();
    const HttpOutcome configured = connector.Configure();
    EXPECT_TRUE(configured.IsDone()) << configured.Text();
    return connector.Connect(host, fallback, port);
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
