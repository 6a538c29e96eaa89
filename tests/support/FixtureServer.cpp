#include "support/FixtureServer.h"

#include <openssl/crypto.h>
#include <openssl/ssl.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
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
constexpr const char* kContentLengthName = "\ncontent-length:";
// A declared body longer than this is not waited for.
constexpr std::size_t kMaxBodyWait = 1 << 20;

// The Content-length value of a request head, or 0.
std::size_t contentLength(const std::string& head) {
    const char* name = ::strcasestr(head.c_str(), kContentLengthName);
    if (name == nullptr) {
        return 0;
    }
    std::string_view value(name + std::strlen(kContentLengthName));
    value.remove_prefix(std::min(value.find_first_not_of(' '), value.size()));
    std::size_t length = 0;
    std::from_chars(value.data(), value.data() + value.size(), length);
    return std::min(length, kMaxBodyWait);
}

} // namespace

FixtureServer::FixtureServer(Handler handler) : FixtureServer(std::move(handler), Tls{}) {
}

FixtureServer::FixtureServer(Handler handler, const Tls& tls, Loopback loopback)
    : m_handler(std::move(handler)), m_loopback(loopback) {
    if (!tls.certificateFile.empty()) {
        m_tls = SSL_CTX_new(TLS_server_method());
        if (m_tls == nullptr ||
            SSL_CTX_use_certificate_chain_file(m_tls, tls.certificateFile.c_str()) != 1 ||
            SSL_CTX_use_PrivateKey_file(m_tls, tls.keyFile.c_str(), SSL_FILETYPE_PEM) != 1) {
            return;
        }
    }
    m_stopFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    const int family = loopback == Loopback::Ipv6 ? AF_INET6 : AF_INET;
    const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || m_stopFd < 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return;
    }
    sockaddr_storage address{};
    socklen_t size = sizeof(sockaddr_in);
    if (loopback == Loopback::Ipv6) {
        auto& v6 = reinterpret_cast<sockaddr_in6&>(address);
        v6.sin6_family = AF_INET6;
        v6.sin6_addr = in6addr_loopback;
        size = sizeof v6;
    } else {
        auto& v4 = reinterpret_cast<sockaddr_in&>(address);
        v4.sin_family = AF_INET;
        v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), size) != 0 ||
        ::listen(fd, kListenBacklog) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ::close(fd);
        return;
    }
    m_listenFd = fd;
    // The port sits at the same place in both families' addresses.
    m_port = ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    m_listener = std::thread([this] { Listen(); });
}

FixtureServer::~FixtureServer() {
    Stop();
    if (m_stopFd >= 0) {
        ::close(m_stopFd);
    }
    SSL_CTX_free(m_tls);
}

FixtureServer::Handler FixtureServer::Answering(std::string bytes) {
    return Answering(FixtureReply{.bytes = std::move(bytes)});
}

FixtureServer::Handler FixtureServer::Answering(FixtureReply reply) {
    return [reply = std::move(reply)](const std::string&) { return reply; };
}

bool FixtureServer::Listening() const {
    return m_listenFd >= 0;
}

uint16_t FixtureServer::Port() const {
    return m_port;
}

std::string FixtureServer::Url(std::string_view path) const {
    return std::string(m_tls != nullptr ? "https://" : "http://") +
           (m_loopback == Loopback::Ipv6 ? "[::1]:" : "127.0.0.1:") + std::to_string(m_port) +
           std::string(path);
}

void FixtureServer::SetCloseAtOnce(bool on) {
    m_closeAtOnce = on;
}

void FixtureServer::SetRecording(bool on) {
    m_recording = on;
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

std::vector<std::string> FixtureServer::ServerNames() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> names;
    for (const Connection& connection : m_connections) {
        if (connection.secured) {
            names.push_back(connection.serverName);
        }
    }
    return names;
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
    while (WaitFor(m_listenFd, POLLIN)) {
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
    // A TLS write to a client that has gone raises SIGPIPE on this thread: keep it pending here
    // rather than let it end the program.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    Link link{fd, index, nullptr};
    const bool answer = !m_closeAtOnce;
    if (answer && m_tls != nullptr) {
        link.ssl = SSL_new(m_tls);
        SSL_set_fd(link.ssl, fd);
    }
    if (answer && (link.ssl == nullptr || Handshake(link))) {
        Answer(link);
    }
    if (link.ssl != nullptr) {
        SSL_free(link.ssl);
        OPENSSL_thread_stop();
    }
    ::close(fd);
    MarkEnded(index);
}

bool FixtureServer::Handshake(Link& link) {
    for (;;) {
        const int done = SSL_accept(link.ssl);
        if (done == 1) {
            const char* name = SSL_get_servername(link.ssl, TLSEXT_NAMETYPE_host_name);
            std::lock_guard<std::mutex> lock(m_mutex);
            m_connections[link.index].secured = true;
            m_connections[link.index].serverName = name != nullptr ? name : "";
            return true;
        }
        const int error = SSL_get_error(link.ssl, done);
        if ((error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) ||
            !WaitFor(link.fd, error == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT)) {
            return false;
        }
    }
}

void FixtureServer::Answer(Link& link) {
    std::string request;
    if (!ReadRequest(link, request)) {
        return;
    }
    const FixtureReply reply = m_handler(request);
    if (reply.stall) {
        Drain(link);
        return;
    }
    const bool reset = reply.ending == FixtureReply::Ending::Reset;
    std::string_view bytes = reply.bytes;
    if (reset) {
        bytes = bytes.substr(0, std::min(reply.resetAfter, bytes.size()));
    }
    const bool paused = Pause(reply.delay);
    // Record what the client sent meanwhile (the line ends after a POST body): a client that
    // closes with a reset would otherwise take unread bytes with it.
    while (Receive(link, nullptr, false) > 0) {
    }
    bool sent = paused && SendReply(link, bytes, reply);
    for (std::size_t i = 0; sent && !reset && i < reply.repeatCount; ++i) {
        sent = SendAll(link, reply.repeated);
    }
    sent = sent && (reset || SendAll(link, reply.tail));
    if (!sent) {
        return;
    }
    if (reset) {
        const linger resetOnClose{kLingerOn, kLingerSeconds};
        ::setsockopt(link.fd, SOL_SOCKET, SO_LINGER, &resetOnClose, sizeof resetOnClose);
        return;
    }
    if (reply.ending == FixtureReply::Ending::Close) {
        if (link.ssl != nullptr) {
            SSL_shutdown(link.ssl);
        }
        ::shutdown(link.fd, SHUT_WR);
    }
    Drain(link);
}

bool FixtureServer::ReadRequest(Link& link, std::string& request) {
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
        if (Receive(link, &request, true) == 0) {
            return false;
        }
    }
}

std::size_t FixtureServer::Receive(Link& link, std::string* into, bool wait) {
    char buffer[kReadBufferSize];
    for (;;) {
        std::size_t count = 0;
        short awaited = POLLIN;
        if (link.ssl != nullptr) {
            const int done = SSL_read_ex(link.ssl, buffer, sizeof buffer, &count);
            const int error = done == 1 ? SSL_ERROR_NONE : SSL_get_error(link.ssl, done);
            if (error == SSL_ERROR_WANT_WRITE) {
                awaited = POLLOUT;
            } else if (error != SSL_ERROR_NONE && error != SSL_ERROR_WANT_READ) {
                return 0;
            }
        } else {
            const ssize_t got = ::recv(link.fd, buffer, sizeof buffer, 0);
            if (got == 0 ||
                (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                return 0;
            }
            count = got > 0 ? static_cast<std::size_t>(got) : 0;
        }
        if (count > 0) {
            if (m_recording) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_connections[link.index].received.append(buffer, count);
            }
            if (into != nullptr) {
                into->append(buffer, count);
            }
            return count;
        }
        if (!wait || !WaitFor(link.fd, awaited)) {
            return 0;
        }
    }
}

void FixtureServer::Drain(Link& link) {
    while (Receive(link, nullptr, true) > 0) {
    }
}

bool FixtureServer::SendReply(Link& link, std::string_view bytes, const FixtureReply& reply) {
    std::size_t offset = 0;
    for (std::size_t turn = 0; offset < bytes.size(); ++turn) {
        if (offset > 0 && !Pause(reply.chunkDelay)) {
            return false;
        }
        std::size_t size = reply.chunkSize > 0 ? reply.chunkSize : bytes.size();
        if (!reply.pieces.empty()) {
            size = std::max<std::size_t>(reply.pieces[turn % reply.pieces.size()], 1);
        }
        size = std::min(size, bytes.size() - offset);
        if (!SendAll(link, bytes.substr(offset, size))) {
            return false;
        }
        offset += size;
        if (reply.onSent) {
            reply.onSent(offset);
        }
    }
    return true;
}

bool FixtureServer::SendAll(Link& link, std::string_view bytes) {
    while (!bytes.empty()) {
        short awaited = POLLOUT;
        if (link.ssl != nullptr) {
            std::size_t written = 0;
            const int done = SSL_write_ex(link.ssl, bytes.data(), bytes.size(), &written);
            const int error = done == 1 ? SSL_ERROR_NONE : SSL_get_error(link.ssl, done);
            if (error == SSL_ERROR_NONE) {
                bytes.remove_prefix(written);
                continue;
            }
            if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) {
                return false;
            }
            awaited = error == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT;
        } else {
            const ssize_t sent = ::send(link.fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent > 0) {
                bytes.remove_prefix(static_cast<std::size_t>(sent));
                continue;
            }
            if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                return false;
            }
        }
        if (!WaitFor(link.fd, awaited)) {
            return false;
        }
    }
    return true;
}

bool FixtureServer::WaitFor(int fd, short events) const {
    for (;;) {
        pollfd fds[kPollCount] = {{fd, events, 0}, {m_stopFd, POLLIN, 0}};
        const int ready = ::poll(fds, kPollCount, kWaitWithoutLimit);
        if (ready < 0 && errno != EINTR) {
            return false;
        }
        if (fds[kStopSlot].revents != 0) {
            return false;
        }
        if (ready > 0 && fds[kSocketSlot].revents != 0) {
            return true;
        }
    }
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
