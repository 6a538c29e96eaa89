#include "search/HttpClient.h"

#include "support/FixtureServer.h"
#include "support/TestCertificates.h"

#include <gtest/gtest.h>

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

// The certificate and key for localhost that the authority signed.
FixtureServer::Tls trusted() {
    return {certificates().ServerCertificate(), certificates().ServerKey()};
}

class RecordingClient : public HttpClient {
  public:
    std::vector<int> notices;
    std::string completed;
    bool failed = false;

  protected:
    void Notify(int code, int detail) override {
        notices.push_back(code);
        HttpClient::Notify(code, detail);
    }
    void OnError() override {
        failed = true;
        HttpClient::OnError();
    }
    void OnComplete() override {
        completed = std::string(Response());
        HttpClient::OnComplete();
    }
};

std::string url(const std::string& host, uint16_t port, const std::string& path) {
    return "https://" + host + ":" + std::to_string(port) + path;
}

} // namespace

TEST(Tls, FetchesOverTlsWithTheSameRequestAndNotices) {
    ASSERT_TRUE(certificates().Ok()) << certificates().Error();
    FixtureServer server(FixtureServer::Answering(kAnswer), trusted());
    ASSERT_TRUE(server.Listening());
    for (const std::string host : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(host);
        RecordingClient client;
        client.SetUrl(url(host, server.Port(), "/find?q=a"));
        client.Execute();
        EXPECT_FALSE(client.failed) << client.ErrorText();
        EXPECT_EQ(client.completed, kAnswer);
        EXPECT_EQ(client.notices, (std::vector<int>{11, 9, 10}));
        EXPECT_EQ(client.RequestTarget(), "/find?q=a");
    }
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], "GET /find?q=a HTTP/1.0\r\n"
                           "Accept: image/gif, image/x-bitmap, image/jpeg, */*\r\n"
                           "Accept-Language: en\r\n"
                           "Cache-Control: no-cache\r\n"
                           "Proxy-Connection: Keep-Alive\r\n"
                           "User-Agent: Vantorell 2001\r\n"
                           "Host: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(server.ServerNames(), (std::vector<std::string>{"", "localhost"}))
        << "the name goes out as SNI, an address does not";
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
        EXPECT_TRUE(client.failed);
        EXPECT_EQ(client.ErrorCode(), HttpClient::kCodeSocketFailure);
        EXPECT_EQ(client.ErrorText(), "Error: TLS certificate.");
        EXPECT_EQ(client.notices, (std::vector<int>{11, 1})) << "no request is sent";
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
    EXPECT_EQ(client.ErrorText(), "Error: TLS handshake.");
    EXPECT_EQ(client.ErrorDetail(), ETIMEDOUT);
    plain.SetCloseAtOnce(true);
    RecordingClient closed;
    closed.SetUrl(url("127.0.0.1", plain.Port(), "/"));
    closed.Execute();
    EXPECT_EQ(closed.ErrorText(), "Error: TLS handshake.");
    EXPECT_EQ(client.ErrorCode(), HttpClient::kCodeSocketFailure);
}
