#pragma once

#include "support/TempDir.h"

#include <string>

// A throw-away certificate authority and certificates it signs, made with the openssl tool for
// one test program. Trust() makes this process trust the authority instead of the system's
// store (OpenSSL reads SSL_CERT_FILE when the program's TLS context is first made, so call it
// before any TLS connection).
class TestCertificates {
  public:
    TestCertificates();
    // False when the openssl tool failed; Error() says why.
    bool Ok() const;
    const std::string& Error() const;

    void Trust() const;
    const std::string& AuthorityFile() const;
    // A certificate and key for "localhost", 127.0.0.1 and ::1, signed by the authority.
    const std::string& ServerCertificate() const;
    const std::string& ServerKey() const;
    // Signed by the authority, but for another name only.
    const std::string& WrongNameCertificate() const;
    const std::string& WrongNameKey() const;
    // Signed by nobody this process trusts.
    const std::string& SelfSignedCertificate() const;
    const std::string& SelfSignedKey() const;

  private:
    bool Run(const std::string& command);

    TempDir m_dir;
    bool m_ok = true;
    std::string m_error;
    std::string m_authority;
    std::string m_serverCertificate;
    std::string m_serverKey;
    std::string m_wrongCertificate;
    std::string m_wrongKey;
    std::string m_selfCertificate;
    std::string m_selfKey;
};
