#include "LoopbackPeer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kBacklog = 4;
// Longest wait for a client's bytes or room to send: far more than a loopback exchange needs.
constexpr int kPatienceMs = 2000;
constexpr std::size_t kReadChunk = 4096;
constexpr std::string_view kHeaderEnd = "\r\n\r\n";
constexpr int kLingerOn = 1;
constexpr int kLingerSeconds = 0;
constexpr uint64_t kStopIncrement = 1;

// Waits for events on fd; false on time-out or failure.
bool waitFor(int fd, short events) {
    pollfd probe{fd, events, 0};
    for (;;) {
        const int ready = ::poll(&probe, 1, kPatienceMs);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        return ready > 0;
    }
}

bool sendAll(int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, bytes, size, MSG_NOSIGNAL);
        if (sent > 0) {
            bytes += sent;
            size -= static_cast<std::size_t>(sent);
            continue;
        }
        if (sent < 0 && (errno == EAGAIN || errno == EINTR) && waitFor(fd, POLLOUT)) {
            continue;
        }
        return false;
    }
    return true;
}

} // namespace

LoopbackPeer::LoopbackPeer() {
    m_stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (m_stopFd < 0 || m_listenFd < 0 ||
        ::bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listenFd, kBacklog) != 0 ||
        ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        std::abort();
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Run(); });
}

LoopbackPeer::~LoopbackPeer() {
    const uint64_t increment = kStopIncrement;
    [[maybe_unused]] const ssize_t written = ::write(m_stopFd, &increment, sizeof increment);
    m_thread.join();
    ::close(m_listenFd);
    ::close(m_stopFd);
}

uint16_t LoopbackPeer::Port() const {
    return m_port;
}

void LoopbackPeer::Arm(std::string answer, std::vector<std::size_t> pieces, bool reset) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answer = std::move(answer);
    m_pieces = std::move(pieces);
    m_reset = reset;
}

void LoopbackPeer::Run() {
    for (;;) {
        pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_stopFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if (fds[0].revents == 0) {
            continue;
        }
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            continue;
        }
        Serve(fd);
    }
}

void LoopbackPeer::Serve(int fd) {
    std::string answer;
    std::vector<std::size_t> pieces;
    bool reset = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        answer = m_answer;
        pieces = m_pieces;
        reset = m_reset;
    }
    std::string request;
    char buffer[kReadChunk];
    while (request.find(kHeaderEnd) == std::string::npos) {
        const ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
        if (count > 0) {
            request.append(buffer, static_cast<std::size_t>(count));
            continue;
        }
        if (count < 0 && (errno == EAGAIN || errno == EINTR) && waitFor(fd, POLLIN)) {
            continue;
        }
        ::close(fd);
        return;
    }
    std::size_t offset = 0;
    for (std::size_t turn = 0; offset < answer.size(); ++turn) {
        const std::size_t size = std::min(pieces[turn % pieces.size()], answer.size() - offset);
        if (!sendAll(fd, answer.data() + offset, size)) {
            break;
        }
        offset += size;
    }
    if (reset) {
        const linger resetOnClose{kLingerOn, kLingerSeconds};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &resetOnClose, sizeof resetOnClose);
        ::close(fd);
        return;
    }
    // Half-close, then read what the client still sends until it closes, so no unread byte
    // turns the close into a reset that could take the answer's end with it.
    ::shutdown(fd, SHUT_WR);
    for (;;) {
        const ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
        if (count > 0) {
            continue;
        }
        if (count < 0 && (errno == EAGAIN || errno == EINTR) && waitFor(fd, POLLIN)) {
            continue;
        }
        break;
    }
    ::close(fd);
}
