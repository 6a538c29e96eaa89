#include "search/SocketConnector.h"

#include "search/ConnectionRace.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#include <utility>
#include <vector>

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

void SocketConnector::SetResolver(HostResolver resolver) {
    m_resolver = std::move(resolver);
}

void SocketConnector::Create() {
    m_socket.Adopt(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP));
}

HttpOutcome SocketConnector::Configure() {
    const int fd = m_socket.Descriptor();
    if (fd < 0) {
        return failed(kSocketCreationDetail, kTextSocket);
    }
    return SetUp(fd, AF_INET);
}

HttpOutcome SocketConnector::SetUp(int descriptor, int family) const {
    // Closing resets the connection at once instead of lingering.
    const linger lingerOption{kLingerOn, kLingerSeconds};
    if (::setsockopt(descriptor, SOL_SOCKET, SO_LINGER, &lingerOption, sizeof lingerOption) != 0) {
        return failed(errno, kTextLinger);
    }
    const timeval receiveLimit = timevalFromMilliseconds(m_receiveTimeoutMs);
    if (::setsockopt(descriptor, SOL_SOCKET, SO_RCVTIMEO, &receiveLimit, sizeof receiveLimit) !=
        0) {
        return failed(errno, kTextReceiveTimeout);
    }
    const timeval sendLimit = timevalFromMilliseconds(m_sendTimeoutMs);
    if (::setsockopt(descriptor, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit) != 0) {
        return failed(errno, kTextSendTimeout);
    }
    // Any local address of the family, a port the system picks.
    sockaddr_storage local{};
    local.ss_family = static_cast<sa_family_t>(family);
    const socklen_t length = HostResolver::AddressLength(local);
    if (length == 0 || ::bind(descriptor, reinterpret_cast<const sockaddr*>(&local), length) != 0) {
        return failed(length == 0 ? EAFNOSUPPORT : errno, kTextBind);
    }
    return HttpOutcome::Done();
}

HttpOutcome SocketConnector::Resolve(const std::string& host, const std::string& dottedFallback,
                                     int port, std::vector<sockaddr_storage>& addresses) const {
    HostResolver::Answer answer = m_resolver.Resolve(host);
    if (answer.addresses.empty() && !dottedFallback.empty()) {
        const in_addr_t dotted = ::inet_addr(dottedFallback.c_str());
        if (dotted != INADDR_NONE) {
            sockaddr_storage address{};
            auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
            v4->sin_family = AF_INET;
            v4->sin_addr.s_addr = dotted;
            answer.addresses.push_back(address);
        }
    }
    if (answer.addresses.empty()) {
        return HttpOutcome::Failed(HttpOutcome::kCodeHost, answer.error, kTextResolveHost);
    }
    const uint16_t networkPort = htons(static_cast<uint16_t>(port));
    for (sockaddr_storage& address : answer.addresses) {
        if (address.ss_family == AF_INET) {
            reinterpret_cast<sockaddr_in*>(&address)->sin_port = networkPort;
        } else {
            reinterpret_cast<sockaddr_in6*>(&address)->sin6_port = networkPort;
        }
    }
    addresses = std::move(answer.addresses);
    return HttpOutcome::Done();
}

HttpOutcome SocketConnector::Connect(const std::string& host, const std::string& dottedFallback,
                                     int port) {
    std::vector<sockaddr_storage> addresses;
    const HttpOutcome resolved = Resolve(host, dottedFallback, port, addresses);
    if (m_socket.Cancelled()) {
        return HttpOutcome::Stopped();
    }
    if (!resolved.IsDone()) {
        return resolved;
    }

    const int fd = m_socket.Descriptor();
    pollfd probe{fd, POLLIN, 0};
    if (::poll(&probe, 1, kNoWait) < 0) {
        return failed(errno, kTextSelect);
    }
    if (port < 0 || port > kMaxPort) {
        return failed(EINVAL, kTextConnect);
    }

    // The race owns every socket from here on: the first one serves the first IPv4 attempt,
    // the others are made like it.
    int spare = fd;
    m_socket.Adopt(-1);
    ConnectionRace race(
        m_socket,
        [this, &spare](int family, int& descriptor) {
            if (family == AF_INET && spare >= 0) {
                descriptor = spare;
                spare = -1;
                return HttpOutcome::Done();
            }
            descriptor = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
            if (descriptor < 0) {
                return failed(errno, kTextSocket);
            }
            return SetUp(descriptor, family);
        },
        m_sendTimeoutMs);
    const HttpOutcome outcome = race.Run(addresses);
    if (spare >= 0) {
        ::close(spare);
    }
    return outcome;
}
