#include "support/TlsFixtureServer.h"

#include <openssl/ssl.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kBacklog = 16;
constexpr int kAcceptPollMs = 50;
constexpr int kReceiveTimeoutSeconds = 5;
constexpr std::size_t kMaxRequest = 64 * 1024;

} // namespace

TlsFixtureServer::TlsFixtureServer(const std::string& certificateFile, const std::string& keyFile,
                                   std::string answer)
    : m_answer(std::move(answer)) {
    m_context = SSL_CTX_new(TLS_server_method());
    if (m_context == nullptr ||
        SSL_CTX_use_certificate_chain_file(m_context, certificateFile.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(m_context, keyFile.c_str(), SSL_FILETYPE_PEM) != 1) {
        return;
    }
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listenFd, kBacklog) != 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
        return;
    }
    socklen_t length = sizeof address;
    ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

TlsFixtureServer::~TlsFixtureServer() {
    m_stopping = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
    }
    SSL_CTX_free(m_context);
}

bool TlsFixtureServer::Listening() const {
    return m_listenFd >= 0;
}

uint16_t TlsFixtureServer::Port() const {
    return m_port;
}

std::vector<std::string> TlsFixtureServer::Requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

std::vector<std::string> TlsFixtureServer::ServerNames() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_serverNames;
}

void TlsFixtureServer::Serve() {
    while (!m_stopping) {
        pollfd listening{m_listenFd, POLLIN, 0};
        if (::poll(&listening, 1, kAcceptPollMs) <= 0) {
            continue;
        }
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            ServeOne(fd);
            ::close(fd);
        }
    }
}

void TlsFixtureServer::ServeOne(int fd) {
    const timeval limit{kReceiveTimeoutSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    SSL* ssl = SSL_new(m_context);
    SSL_set_fd(ssl, fd);
    if (SSL_accept(ssl) == 1) {
        const char* name = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name);
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequest) {
            const int got = SSL_read(ssl, buffer, sizeof buffer);
            if (got <= 0) {
                break;
            }
            request.append(buffer, static_cast<std::size_t>(got));
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(request);
            m_serverNames.push_back(name != nullptr ? name : "");
        }
        SSL_write(ssl, m_answer.data(), static_cast<int>(m_answer.size()));
        SSL_shutdown(ssl);
    }
    SSL_free(ssl);
}
