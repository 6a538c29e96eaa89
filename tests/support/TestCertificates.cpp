#include "support/TestCertificates.h"

#include "support/TestFiles.h"

#include <cstdlib>

namespace {

constexpr const char* kDays = "2";

} // namespace

TestCertificates::TestCertificates() {
    const std::string dir = m_dir.path();
    m_authority = dir + "/ca.pem";
    const std::string authorityKey = dir + "/ca.key";
    m_serverCertificate = dir + "/server.pem";
    m_serverKey = dir + "/server.key";
    m_wrongCertificate = dir + "/wrong.pem";
    m_wrongKey = dir + "/wrong.key";
    m_selfCertificate = dir + "/self.pem";
    m_selfKey = dir + "/self.key";
    const std::string quiet = " 2>" + dir + "/openssl.log";
    const std::string newKey =
        "openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days " +
        std::string(kDays);

    Run(newKey + " -x509 -keyout " + authorityKey + " -out " + m_authority +
        " -subj /CN=Vantorell-Test-Authority" + quiet);
    auto signedFor = [&](const std::string& name, const std::string& altNames,
                         const std::string& certificate, const std::string& key) {
        const std::string request = dir + "/" + name + ".csr";
        const std::string extensions = dir + "/" + name + ".ext";
        writeFileBytes(extensions, "subjectAltName=" + altNames + "\n");
        Run(newKey + " -keyout " + key + " -out " + request + " -subj /CN=" + name + quiet);
        Run("openssl x509 -req -in " + request + " -CA " + m_authority + " -CAkey " + authorityKey +
            " -CAcreateserial -days " + kDays + " -extfile " + extensions + " -out " + certificate +
            quiet);
    };
    signedFor("localhost", "DNS:localhost,IP:127.0.0.1,IP:::1", m_serverCertificate, m_serverKey);
    signedFor("wrong.example", "DNS:wrong.example", m_wrongCertificate, m_wrongKey);
    Run(newKey + " -x509 -keyout " + m_selfKey + " -out " + m_selfCertificate +
        " -subj /CN=localhost -addext subjectAltName=DNS:localhost,IP:127.0.0.1" + quiet);
}

bool TestCertificates::Run(const std::string& command) {
    if (!m_ok) {
        return false;
    }
    if (std::system(command.c_str()) != 0) {
        m_ok = false;
        m_error = "failed: " + command;
    }
    return m_ok;
}

bool TestCertificates::Ok() const {
    return m_ok;
}

const std::string& TestCertificates::Error() const {
    return m_error;
}

void TestCertificates::Trust() const {
    ::setenv("SSL_CERT_FILE", m_authority.c_str(), 1);
}

const std::string& TestCertificates::AuthorityFile() const {
    return m_authority;
}

const std::string& TestCertificates::ServerCertificate() const {
    return m_serverCertificate;
}

const std::string& TestCertificates::ServerKey() const {
    return m_serverKey;
}

const std::string& TestCertificates::WrongNameCertificate() const {
    return m_wrongCertificate;
}

const std::string& TestCertificates::WrongNameKey() const {
    return m_wrongKey;
}

const std::string& TestCertificates::SelfSignedCertificate() const {
    return m_selfCertificate;
}

const std::string& TestCertificates::SelfSignedKey() const {
    return m_selfKey;
}
