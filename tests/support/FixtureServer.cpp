#include "support/FixtureServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kListenBacklog = 64;
constexpr std::size_t kReadBufferSize = 65536;
constexpr int kWaitWithoutLimit = -1;
constexpr nfds_t kPollCount = 2;
// Each wait polls its socket first, then the stop descriptor.
constexpr std::size_t kSocketSlot = 0;
constexpr std::size_t kStopSlot = 1;
constexpr int kLingerOn = 1;
constexpr int kLingerSeconds = 0;
constexpr uint64_t kStopIncrement = 1;
constexpr std::string_view kHeaderEnd = "\r\n\r\n";
constexpr std::string_view kContentLengthName = "\ncontent-length:";
constexpr std::string_view kLoopbackAddress = "127.0.0.1";
constexpr std::size_t kDecimalBase = 10;
// A declared body longer than this is not waited for.
constexpr std::size_t kMaxBodyWait = 1 << 20;

// The Content-length value of a request head, or 0.
std::size_t contentLength(std::string_view head) {
    std::string lower(head);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::size_t name = lower.find(kContentLengthName);
    if (name == std::string::npos) {
        return 0;
    }
    std::size_t index = name + kContentLengthName.size();
    while (index < lower.size() && lower[index] == ' ') {
        ++index;
    }
    std::size_t value = 0;
    while (index < lower.size() && std::isdigit(static_cast<unsigned char>(lower[index])) &&
           value <= kMaxBodyWait) {
        value = value * kDecimalBase + static_cast<std::size_t>(lower[index] - '0');
        ++index;
    }
    return std::min(value, kMaxBodyWait);
}

} // namespace

FixtureServer::FixtureServer(Handler handler) : m_handler(std::move(handler)) {
    m_stopFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || m_stopFd < 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = 0;
    ::inet_pton(AF_INET, std::string(kLoopbackAddress).c_str(), &address.sin_addr);
    socklen_t size = sizeof address;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, kListenBacklog) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ::close(fd);
        return;
    }
    m_listenFd = fd;
    m_port = ntohs(address.sin_port);
    m_listener = std::thread([this] { Listen(); });
}

FixtureServer::~FixtureServer() {
    Stop();
    if (m_stopFd >= 0) {
        ::close(m_stopFd);
    }
}

bool FixtureServer::Listening() const {
    return m_listenFd >= 0;
}

uint16_t FixtureServer::Port() const {
    return m_port;
}

std::string FixtureServer::Url(std::string_view path) const {
    return "http://" + std::string(kLoopbackAddress) + ":" + std::to_string(m_port) +
           std::string(path);
}

void FixtureServer::SetCloseAtOnce(bool on) {
    m_closeAtOnce = on;
}

std::vector<std::string> FixtureServer::Requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> requests;
    for (const Connection& connection : m_connections) {
        requests.push_back(connection.received);
    }
    return requests;
}

std::vector<std::string> FixtureServer::WaitForRequests(std::size_t count,
                                                        std::chrono::milliseconds limit) const {
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, limit, [&] {
            const auto ended = std::count_if(m_connections.begin(), m_connections.end(),
                                             [](const Connection& c) { return c.ended; });
            return static_cast<std::size_t>(ended) >= count;
        });
    }
    return Requests();
}

void FixtureServer::Stop() {
    if (m_stopping.exchange(true)) {
        return;
    }
    if (m_stopFd >= 0) {
        const uint64_t increment = kStopIncrement;
        [[maybe_unused]] const ssize_t written = ::write(m_stopFd, &increment, sizeof increment);
    }
    if (m_listener.joinable()) {
        m_listener.join();
    }
    for (auto& [index, worker] : m_workers) {
        worker.join();
    }
    m_workers.clear();
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
    }
}

void FixtureServer::Listen() {
    for (;;) {
        pollfd fds[kPollCount] = {{m_listenFd, POLLIN, 0}, {m_stopFd, POLLIN, 0}};
        const int ready = ::poll(fds, kPollCount, kWaitWithoutLimit);
        if (ready < 0 && errno != EINTR) {
            return;
        }
        if (fds[kStopSlot].revents != 0) {
            return;
        }
        if (fds[kSocketSlot].revents == 0) {
            continue;
        }
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            continue;
        }
        std::size_t index = 0;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            index = m_connections.size();
            m_connections.emplace_back();
        }
        JoinEnded();
        m_workers.emplace_back(index, std::thread([this, fd, index] { Serve(fd, index); }));
    }
}

void FixtureServer::JoinEnded() {
    std::vector<std::thread> ended;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto serving =
            std::partition(m_workers.begin(), m_workers.end(), [this](const auto& worker) {
                return !m_connections[worker.first].ended;
            });
        for (auto it = serving; it != m_workers.end(); ++it) {
            ended.push_back(std::move(it->second));
        }
        m_workers.erase(serving, m_workers.end());
    }
    // Marked ended as their last step: each returns at once.
    for (std::thread& worker : ended) {
        worker.join();
    }
}

void FixtureServer::Serve(int fd, std::size_t index) {
    if (m_closeAtOnce) {
        ::close(fd);
        MarkEnded(index);
        return;
    }
    std::string request;
    if (!ReadRequest(fd, index, request)) {
        ::close(fd);
        MarkEnded(index);
        return;
    }
    const FixtureReply reply = m_handler(request);
    if (reply.stall) {
        Drain(fd, index);
        ::close(fd);
        MarkEnded(index);
        return;
    }
    std::string_view bytes = reply.bytes;
    if (reply.ending == FixtureReply::Ending::Reset) {
        bytes = bytes.substr(0, std::min(reply.resetAfter, bytes.size()));
    }
    const bool paused = Pause(reply.delay);
    // Record what the client sent meanwhile (the line ends after a POST body): a client that
    // closes with a reset would otherwise take unread bytes with it.
    RecordAvailable(fd, index);
    bool sent = paused && SendReply(fd, bytes, reply);
    if (sent && reply.ending != FixtureReply::Ending::Reset) {
        sent = SendRepeated(fd, reply);
    }
    if (sent && reply.ending == FixtureReply::Ending::Reset) {
        const linger resetOnClose{kLingerOn, kLingerSeconds};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &resetOnClose, sizeof resetOnClose);
    } else if (sent && reply.ending == FixtureReply::Ending::Close) {
        ::shutdown(fd, SHUT_WR);
        Drain(fd, index);
    } else if (sent) {
        Drain(fd, index);
    }
    ::close(fd);
    MarkEnded(index);
}

bool FixtureServer::ReadRequest(int fd, std::size_t index, std::string& request) {
    for (;;) {
        const std::size_t headEnd = request.find(kHeaderEnd);
        if (headEnd != std::string::npos) {
            const std::size_t bodyBegin = headEnd + kHeaderEnd.size();
            const std::size_t total = bodyBegin + contentLength(request.substr(0, headEnd));
            if (request.size() >= total) {
                request.resize(total);
                return true;
            }
        }
        if (ReadSome(fd, index, &request) != ReadResult::Data) {
            return false;
        }
    }
}

FixtureServer::ReadResult FixtureServer::ReadSome(int fd, std::size_t index, std::string* into) {
    char buffer[kReadBufferSize];
    for (;;) {
        pollfd fds[kPollCount] = {{fd, POLLIN, 0}, {m_stopFd, POLLIN, 0}};
        const int ready = ::poll(fds, kPollCount, kWaitWithoutLimit);
        if (ready < 0 && errno != EINTR) {
            return ReadResult::Closed;
        }
        if (fds[kStopSlot].revents != 0) {
            return ReadResult::Stopped;
        }
        if (fds[kSocketSlot].revents == 0) {
            continue;
        }
        const ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
        if (count > 0) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_connections[index].received.append(buffer, static_cast<std::size_t>(count));
            if (into != nullptr) {
                into->append(buffer, static_cast<std::size_t>(count));
            }
            return ReadResult::Data;
        }
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            continue;
        }
        return ReadResult::Closed;
    }
}

void FixtureServer::RecordAvailable(int fd, std::size_t index) {
    char buffer[kReadBufferSize];
    for (;;) {
        const ssize_t count = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (count <= 0) {
            return;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_connections[index].received.append(buffer, static_cast<std::size_t>(count));
    }
}

void FixtureServer::Drain(int fd, std::size_t index) {
    while (ReadSome(fd, index, nullptr) == ReadResult::Data) {
    }
}

bool FixtureServer::SendReply(int fd, std::string_view bytes, const FixtureReply& reply) {
    std::size_t chunk = reply.chunkSize;
    if (chunk == 0) {
        chunk = bytes.size();
    }
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        if (offset > 0 && !Pause(reply.chunkDelay)) {
            return false;
        }
        const std::size_t size = std::min(chunk, bytes.size() - offset);
        if (!SendAll(fd, bytes.substr(offset, size))) {
            return false;
        }
        offset += size;
    }
    return true;
}

bool FixtureServer::SendRepeated(int fd, const FixtureReply& reply) {
    for (std::size_t i = 0; i < reply.repeatCount; ++i) {
        if (!SendAll(fd, reply.repeated)) {
            return false;
        }
    }
    return SendAll(fd, reply.tail);
}

bool FixtureServer::SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            return false;
        }
        pollfd fds[kPollCount] = {{fd, POLLOUT, 0}, {m_stopFd, POLLIN, 0}};
        const int ready = ::poll(fds, kPollCount, kWaitWithoutLimit);
        if (ready < 0 && errno != EINTR) {
            return false;
        }
        if (fds[kStopSlot].revents != 0) {
            return false;
        }
    }
    return true;
}

bool FixtureServer::Pause(std::chrono::milliseconds duration) const {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + duration;
    for (;;) {
        if (m_stopping) {
            return false;
        }
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return true;
        }
        pollfd stop{m_stopFd, POLLIN, 0};
        if (::poll(&stop, 1, static_cast<int>(left)) > 0) {
            return false;
        }
    }
}

void FixtureServer::MarkEnded(std::size_t index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_connections[index].ended = true;
    m_changed.notify_all();
}
