#include "search/SocketConnector.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <limits>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>

namespace {

constexpr std::string_view kTextSocket = "Error: socket()";
constexpr std::string_view kTextLinger = "Error: setsockopt(LINGER).";
constexpr std::string_view kTextReceiveTimeout = "Error: setsockopt(RCVTIME).";
constexpr std::string_view kTextSendTimeout = "Error: setsockopt(SNDTIMEO).";
constexpr std::string_view kTextBind = "Error: bind()";
constexpr std::string_view kTextSelect = "Error: select()";
constexpr std::string_view kTextConnect = "Error: connect()";
constexpr std::string_view kTextResolveHost = "Error: Resolve Host.";

constexpr int kSocketCreationDetail = -1;
constexpr int kMillisecondsPerSecond = 1000;
constexpr int kMicrosecondsPerMillisecond = 1000;
constexpr int kNoWait = 0;
// Bound before connecting: any local address, a port the system picks.
constexpr uint16_t kAnyPort = 0;
constexpr int kLingerOn = 1;
constexpr int kLingerSeconds = 0;
constexpr int kMaxPort = std::numeric_limits<uint16_t>::max();

timeval timevalFromMilliseconds(int ms) {
    timeval time{};
    if (ms > 0) {
        time.tv_sec = ms / kMillisecondsPerSecond;
        time.tv_usec = (ms % kMillisecondsPerSecond) * kMicrosecondsPerMillisecond;
    }
    return time;
}

HttpOutcome failed(int detail, std::string_view text) {
    return HttpOutcome::Failed(HttpOutcome::kCodeSocketFailure, detail, text);
}

} // namespace

SocketConnector::SocketConnector(ExchangeSocket& socket, int receiveTimeoutMs, int sendTimeoutMs)
    : m_socket(socket), m_receiveTimeoutMs(receiveTimeoutMs), m_sendTimeoutMs(sendTimeoutMs) {
}

void SocketConnector::Create() {
    m_socket.Adopt(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP));
}

HttpOutcome SocketConnector::Configure() {
    const int fd = m_socket.Descriptor();
    if (fd < 0) {
        return failed(kSocketCreationDetail, kTextSocket);
    }
    // Closing resets the connection at once instead of lingering.
    const linger lingerOption{kLingerOn, kLingerSeconds};
    if (::setsockopt(fd, SOL_SOCKET, SO_LINGER, &lingerOption, sizeof lingerOption) != 0) {
        return failed(errno, kTextLinger);
    }
    const timeval receiveLimit = timevalFromMilliseconds(m_receiveTimeoutMs);
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &receiveLimit, sizeof receiveLimit) != 0) {
        return failed(errno, kTextReceiveTimeout);
    }
    const timeval sendLimit = timevalFromMilliseconds(m_sendTimeoutMs);
    if (::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit) != 0) {
        return failed(errno, kTextSendTimeout);
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(kAnyPort);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        return failed(errno, kTextBind);
    }
    return HttpOutcome::Done();
}

HttpOutcome SocketConnector::Connect(const std::string& host, const std::string& dottedFallback,
                                     int port) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int lookup = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    const int lookupErrno = errno;
    if (m_socket.Cancelled()) {
        if (found != nullptr) {
            ::freeaddrinfo(found);
        }
        return HttpOutcome::Stopped();
    }
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    bool resolved = false;
    if (lookup == 0 && found != nullptr) {
        remote.sin_addr = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
        resolved = true;
    }
    if (found != nullptr) {
        ::freeaddrinfo(found);
    }
    if (!resolved && !dottedFallback.empty()) {
        const in_addr_t dotted = ::inet_addr(dottedFallback.c_str());
        if (dotted != INADDR_NONE) {
            remote.sin_addr.s_addr = dotted;
            resolved = true;
        }
    }
    if (!resolved) {
        int detail = lookup;
        if (lookup == EAI_SYSTEM) {
            detail = lookupErrno;
        }
        return HttpOutcome::Failed(HttpOutcome::kCodeHost, detail, kTextResolveHost);
    }

    const int fd = m_socket.Descriptor();
    pollfd probe{fd, POLLIN, 0};
    if (::poll(&probe, 1, kNoWait) < 0) {
        return failed(errno, kTextSelect);
    }

    if (port < 0 || port > kMaxPort) {
        return failed(EINVAL, kTextConnect);
    }
    remote.sin_port = htons(static_cast<uint16_t>(port));
    // Every wait from here on polls the socket together with the wake descriptor.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) {
        return failed(errno, kTextConnect);
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == 0) {
        return HttpOutcome::Done();
    }
    if (errno != EINPROGRESS && errno != EINTR) {
        return failed(errno, kTextConnect);
    }
    const ExchangeSocket::WaitResult wait = m_socket.Wait(POLLOUT, m_sendTimeoutMs);
    if (wait == ExchangeSocket::WaitResult::Cancelled) {
        return HttpOutcome::Stopped();
    }
    if (wait == ExchangeSocket::WaitResult::TimedOut) {
        return failed(ETIMEDOUT, kTextConnect);
    }
    if (wait == ExchangeSocket::WaitResult::Failed) {
        return failed(errno, kTextConnect);
    }
    int pending = 0;
    socklen_t pendingSize = sizeof pending;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &pending, &pendingSize) != 0) {
        return failed(errno, kTextConnect);
    }
    if (pending != 0) {
        return failed(pending, kTextConnect);
    }
    return HttpOutcome::Done();
}
