#include "search/RecordingClient.h"

#include "support/FixtureServer.h"
#include "support/TestCertificates.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kAnswer = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<p>secure</p>\n";

// The authority of this test program, trusted by it alone, made before any TLS connection.
const TestCertificates& certificates() {
    static const std::unique_ptr<TestCertificates> made = [] {
        auto certs = std::make_unique<TestCertificates>();
        certs->Trust();
        return certs;
    }();
    return *made;
}

std::string url(const std::string& host, uint16_t port, const std::string& path) {
    return "https://" + host + ":" + std::to_string(port) + path;
}

} // namespace

TEST(Tls, FetchesOverTlsWithTheSameRequestAndNotices) {
    ASSERT_TRUE(certificates().Ok()) << certificates().Error();
    FixtureServer server(FixtureServer::Answering(kAnswer),
                         {certificates().ServerCertificate(), certificates().ServerKey()});
    for (const std::string host : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(host);
        RecordingClient client;
        client.SetUrl(url(host, server.Port(), "/find?q=a"));
        client.Execute();
        EXPECT_EQ(client.Log(), kCompleted);
        EXPECT_EQ(client.completedResponse, kAnswer);
        EXPECT_EQ(client.RequestTarget(), "/find?q=a");
    }
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], getRequest("/find?q=a", "127.0.0.1"));
    EXPECT_EQ(server.ServerNames(), (std::vector<std::string>{"", "localhost"}))
        << "the name goes out as SNI, an address does not";

    // An IPv6 address is checked against the certificate's addresses and sent as no name.
    FixtureServer v6(FixtureServer::Answering(kAnswer),
                     {certificates().ServerCertificate(), certificates().ServerKey()},
                     FixtureServer::Loopback::Ipv6);
    if (v6.Listening()) {
        RecordingClient client;
        client.SetUrl(url("[::1]", v6.Port(), "/"));
        client.Execute();
        EXPECT_EQ(client.Log(), kCompleted);
        EXPECT_EQ(v6.ServerNames(), (std::vector<std::string>{""}));
    }
}

TEST(Tls, RefusesUntrustedAndWrongNameCertificates) {
    ASSERT_TRUE(certificates().Ok()) << certificates().Error();
    struct Case {
        std::string certificate;
        std::string key;
        std::string host;
    };
    const Case cases[] = {
        {certificates().SelfSignedCertificate(), certificates().SelfSignedKey(), "localhost"},
        {certificates().WrongNameCertificate(), certificates().WrongNameKey(), "localhost"},
        {certificates().WrongNameCertificate(), certificates().WrongNameKey(), "127.0.0.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.certificate + " for " + c.host);
        FixtureServer server(FixtureServer::Answering(kAnswer), {c.certificate, c.key});
        RecordingClient client;
        client.SetUrl(url(c.host, server.Port(), "/"));
        client.Execute();
        // No request is sent.
        EXPECT_EQ(client.Log(),
                  failedAfterSocket(HttpClient::kCodeSocketFailure, "Error: TLS certificate."));
    }
}

TEST(Tls, PlainServerOnAnHttpsAddressFailsTheHandshake) {
    ASSERT_TRUE(certificates().Ok()) << certificates().Error();
    FixtureServer plain(FixtureServer::Answering("HTTP/1.0 200 OK\r\n\r\nplain"));
    // It waits for a request line that the client's hello never brings: the handshake waits
    // at most the send time-out.
    RecordingClient client;
    client.SetSendTimeout(300);
    client.SetUrl(url("127.0.0.1", plain.Port(), "/"));
    client.Execute();
    EXPECT_EQ(client.Log(),
              failedAfterSocket(HttpClient::kCodeSocketFailure, "Error: TLS handshake."));
    EXPECT_EQ(client.ErrorDetail(), ETIMEDOUT);
    plain.SetCloseAtOnce(true);
    RecordingClient closed;
    closed.SetUrl(url("127.0.0.1", plain.Port(), "/"));
    closed.Execute();
    EXPECT_EQ(closed.Log(),
              failedAfterSocket(HttpClient::kCodeSocketFailure, "Error: TLS handshake."));
}
