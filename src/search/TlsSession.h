#pragma once

#include <cstddef>
#include <string>

struct ssl_st;

// One TLS connection over a connected, non-blocking socket: the handshake with the server's
// name sent (SNI) and its certificate checked against the system's trust store (OpenSSL's
// default paths, so SSL_CERT_FILE and SSL_CERT_DIR can point elsewhere) and against the host
// name, then reads and writes. Every call returns at once; the caller waits on the socket for
// the direction a call asks for.
class TlsSession {
  public:
    enum class Result {
        Done,      // the call did its work
        WantRead,  // wait until the socket is readable, then call again
        WantWrite, // wait until the socket is writable, then call again
        Closed,    // the peer ended the connection
        Failed     // the connection failed; FailureText() and FailureDetail() say how
    };

    TlsSession();
    ~TlsSession();
    TlsSession(const TlsSession&) = delete;
    TlsSession& operator=(const TlsSession&) = delete;

    // Binds the session to socket for host (a name, or an IPv4 or IPv6 address without
    // brackets). False when OpenSSL
    // could not set it up.
    bool Attach(int socket, const std::string& host);
    Result Handshake();
    Result Write(const char* bytes, std::size_t size, std::size_t& written);
    Result Read(char* into, std::size_t size, std::size_t& got);

    // After Failed: whether the certificate was refused (rather than the handshake itself).
    bool CertificateRefused() const;
    int FailureDetail() const;

  private:
    Result Classify(int returned);

    ssl_st* m_ssl = nullptr;
    bool m_certificateRefused = false;
    int m_failureDetail = 0;
};
