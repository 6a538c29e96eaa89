#include "search/TlsSession.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>
#include <cerrno>
#include <mutex>
#include <netinet/in.h>

namespace {

// One client context for the whole process, made on first use and kept to the end.
SSL_CTX* clientContext() {
    static SSL_CTX* context = nullptr;
    static std::once_flag made;
    std::call_once(made, [] {
        context = SSL_CTX_new(TLS_client_method());
        if (context == nullptr) {
            return;
        }
        SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
        SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
        SSL_CTX_set_default_verify_paths(context);
        // HTTP/1.0 reads to the end of the connection, and many servers close without a
        // closing alert: such an end counts as the end of the answer.
        SSL_CTX_set_options(context, SSL_OP_IGNORE_UNEXPECTED_EOF);
    });
    return context;
}

// An IPv4 or IPv6 address (without brackets) rather than a name.
bool isAddressLiteral(const std::string& host) {
    in_addr v4{};
    in6_addr v6{};
    return ::inet_pton(AF_INET, host.c_str(), &v4) == 1 ||
           ::inet_pton(AF_INET6, host.c_str(), &v6) == 1;
}

} // namespace

TlsSession::TlsSession() = default;

TlsSession::~TlsSession() {
    if (m_ssl != nullptr) {
        SSL_free(m_ssl);
    }
}

bool TlsSession::Attach(int socket, const std::string& host) {
    SSL_CTX* context = clientContext();
    if (context == nullptr) {
        return false;
    }
    m_ssl = SSL_new(context);
    if (m_ssl == nullptr || SSL_set_fd(m_ssl, socket) != 1) {
        return false;
    }
    if (isAddressLiteral(host)) {
        // An address is checked against the certificate's IP entries and sent as no name
        // (server names are host names only).
        X509_VERIFY_PARAM* parameters = SSL_get0_param(m_ssl);
        return X509_VERIFY_PARAM_set1_ip_asc(parameters, host.c_str()) == 1;
    }
    return SSL_set_tlsext_host_name(m_ssl, host.c_str()) == 1 &&
           SSL_set1_host(m_ssl, host.c_str()) == 1;
}

TlsSession::Result TlsSession::Handshake() {
    ERR_clear_error();
    const int returned = SSL_connect(m_ssl);
    if (returned == 1) {
        return Result::Done;
    }
    const Result result = Classify(returned);
    if (result == Result::Failed || result == Result::Closed) {
        const long verified = SSL_get_verify_result(m_ssl);
        if (verified != X509_V_OK) {
            m_certificateRefused = true;
            m_failureDetail = static_cast<int>(verified);
        }
        return Result::Failed;
    }
    return result;
}

TlsSession::Result TlsSession::Write(const char* bytes, std::size_t size, std::size_t& written) {
    written = 0;
    ERR_clear_error();
    const int returned = SSL_write_ex(m_ssl, bytes, size, &written);
    if (returned == 1) {
        return Result::Done;
    }
    return Classify(returned);
}

TlsSession::Result TlsSession::Read(char* into, std::size_t size, std::size_t& got) {
    got = 0;
    ERR_clear_error();
    const int returned = SSL_read_ex(m_ssl, into, size, &got);
    if (returned == 1) {
        return Result::Done;
    }
    return Classify(returned);
}

bool TlsSession::CertificateRefused() const {
    return m_certificateRefused;
}

int TlsSession::FailureDetail() const {
    return m_failureDetail;
}

TlsSession::Result TlsSession::Classify(int returned) {
    const int error = SSL_get_error(m_ssl, returned);
    switch (error) {
    case SSL_ERROR_WANT_READ:
        return Result::WantRead;
    case SSL_ERROR_WANT_WRITE:
        return Result::WantWrite;
    case SSL_ERROR_ZERO_RETURN:
        return Result::Closed;
    case SSL_ERROR_SYSCALL:
        m_failureDetail = errno != 0 ? errno : ECONNRESET;
        return Result::Failed;
    default:
        m_failureDetail = static_cast<int>(ERR_peek_last_error() & 0x7fffffff);
        return Result::Failed;
    }
}
