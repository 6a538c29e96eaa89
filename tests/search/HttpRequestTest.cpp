#include "search/HttpRequest.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view kProxyHost = "127.0.0.1";
constexpr std::string_view kProxyPort = "3128";

} // namespace

TEST(HttpRequest, RefusesUrlsAndProxySettingsThatDoNotFit) {
    const std::string host64 = std::string(56, 'h') + ".invalid";
    struct Case {
        std::string url;
        bool useProxy;
        std::string proxyHost;
        int code;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"", false, "", 2, "Error: URL Is Nothing."},
        {"http://127.0.0.1/" + std::string(256 - 17, 'x'), false, "", 3, "Error: URL Too Long."},
        {"http:/127.0.0.1/x", false, "", 6, "Error: Proto Parse Failed."},
        {"http:///x", false, "", 7, "Error: Bad Host In URL."},
        {":80/x", false, "", 7, "Error: Bad Host In URL."},
        {"http://" + host64 + "h/", false, "", 7, "Error: Bad Host In URL."},
        // An IPv6 address needs its brackets, closed, around an address, then ":", "/" or the end.
        {"http://::1/", false, "", 7, "Error: Bad Host In URL."},
        {"http://[::1/x", false, "", 7, "Error: Bad Host In URL."},
        {"http://[::1]x/", false, "", 7, "Error: Bad Host In URL."},
        {"http://[]/", false, "", 7, "Error: Bad Host In URL."},
        {"http://[127.0.0.1]/", false, "", 7, "Error: Bad Host In URL."},
        {"[::g]:80/", false, "", 7, "Error: Bad Host In URL."},
        {"http://[::1]:/", false, "", 8, "Error: Bad Port In URL."},
        {"http://example.invalid/", true, "[::1", 7, "Error: Bad Host In URL."},
        {"http://127.0.0.1:65536/", false, "", 8, "Error: Bad Port In URL."},
        {"http://127.0.0.1:/x", false, "", 8, "Error: Bad Port In URL."},
        {"http://127.0.0.1:-1/x", false, "", 8, "Error: Bad Port In URL."},
        {"http://example.invalid/", true, "", 5, "Error: Proxy Not Specified."},
        {"http://example.invalid/", true, host64 + "h", 7, "Error: Bad Host In URL."},
        // "http://" in front of a URL of 255 characters does not fit the request line.
        {"example.invalid/" + std::string(255 - 16, 'x'), true, std::string(kProxyHost), 3,
         "Error: URL Too Long."},
    };
    for (const Case& c : cases) {
        HttpRequest request;
        request.SetUrl(c.url);
        request.SetProxy(c.proxyHost, kProxyPort, c.useProxy);
        const HttpOutcome outcome = request.Prepare();
        EXPECT_TRUE(outcome.IsFailed()) << c.url;
        EXPECT_EQ(outcome.Code(), c.code) << c.url;
        EXPECT_EQ(outcome.Text(), c.text) << c.url;
        EXPECT_EQ(outcome.Detail(), 0) << c.url;
    }

    // The longest URL that fits is taken; a host of 64 characters passes the checks.
    const std::string origin = "http://127.0.0.1:8080";
    HttpRequest longest;
    longest.SetUrl(origin + "/" + std::string(255 - origin.size() - 1, 'y'));
    EXPECT_TRUE(longest.Prepare().IsDone());
    EXPECT_EQ(longest.Target().size(), 255 - origin.size());

    HttpRequest longHost;
    longHost.SetUrl("http://" + host64 + "/");
    EXPECT_TRUE(longHost.Prepare().IsDone());
    EXPECT_EQ(longHost.ConnectHost(), host64);
}

TEST(HttpRequest, TargetHostsAndPortDirectlyAndThroughAProxy) {
    struct Case {
        std::string url;
        bool useProxy;
        std::string target;
        std::string connectHost;
        std::string hostHeader;
        std::string urlHost;
        int port;
        bool secure;
        bool tunnel;
        std::string tunnelTarget;
    };
    const std::string proxy(kProxyHost);
    const std::vector<Case> cases = {
        // The query string stays in the target; the port never reaches the Host line.
        {"http://127.0.0.1:4321/find?q=a+b&n=10", false, "/find?q=a+b&n=10", "127.0.0.1",
         "127.0.0.1", "127.0.0.1", 4321, false, false, ""},
        // A URL without scheme or path asks for "/".
        {"127.0.0.1:4321", false, "/", "127.0.0.1", "127.0.0.1", "127.0.0.1", 4321, false, false,
         ""},
        // Letters read as port 0.
        {"http://127.0.0.1:abc/", false, "/", "127.0.0.1", "127.0.0.1", "127.0.0.1", 0, false,
         false, ""},
        {"HTTPS://localhost/s", false, "/s", "localhost", "localhost", "localhost", 443, true,
         false, ""},
        // By proxy the URL's host is never looked up, nor read as an address: only the proxy
        // is reached, and it gets the absolute URL.
        {"http://example.invalid:8000/p?q=1", true, "http://example.invalid:8000/p?q=1", proxy,
         "example.invalid", "", 3128, false, false, ""},
        {"example.invalid/p", true, "http://example.invalid/p", proxy, "example.invalid", "", 3128,
         false, false, ""},
        // An https address goes through a tunnel, in origin form inside it.
        {"https://localhost:4433/via?proxy=1", true, "/via?proxy=1", proxy, "localhost", "", 3128,
         true, true, "localhost:4433"},
        {"https://localhost/", true, "/", proxy, "localhost", "", 3128, true, true,
         "localhost:443"},
        // An IPv6 address is looked up without its brackets and named with them.
        {"http://[::1]:8080/p?q=1", false, "/p?q=1", "::1", "[::1]", "::1", 8080, false, false, ""},
        {"[fe80::1:2]", false, "/", "fe80::1:2", "[fe80::1:2]", "fe80::1:2", 80, false, false, ""},
        {"https://[::1]/s", true, "/s", proxy, "[::1]", "", 3128, true, true, "[::1]:443"},
    };
    for (const Case& c : cases) {
        HttpRequest request;
        request.SetUrl(c.url);
        request.SetProxy(proxy, kProxyPort, c.useProxy);
        ASSERT_TRUE(request.Prepare().IsDone()) << c.url;
        EXPECT_EQ(request.Target(), c.target) << c.url;
        EXPECT_EQ(request.ConnectHost(), c.connectHost) << c.url;
        EXPECT_EQ(request.HostHeader(), c.hostHeader) << c.url;
        EXPECT_EQ(request.UrlHost(), c.urlHost) << c.url;
        EXPECT_EQ(request.Port(), c.port) << c.url;
        EXPECT_EQ(request.Secure(), c.secure) << c.url;
        EXPECT_EQ(request.Tunnel(), c.tunnel) << c.url;
        if (c.tunnel) {
            EXPECT_EQ(request.TunnelTarget(), c.tunnelTarget) << c.url;
        }
    }

    // TLS names the address without brackets; a bracketed proxy is reached the same way.
    HttpRequest v6;
    v6.SetUrl("https://[::1]:4433/");
    v6.SetProxy("[::1]", kProxyPort, true);
    ASSERT_TRUE(v6.Prepare().IsDone());
    EXPECT_EQ(v6.OriginHost(), "::1");
    EXPECT_EQ(v6.ConnectHost(), "::1");

    // The proxy port: its leading number, 8080 when that is 0.
    const std::vector<std::pair<std::string, int>> ports = {
        {"0", 8080}, {"", 8080}, {"abc", 8080}, {"3128", 3128}, {" 81x", 81}};
    for (const auto& [text, expected] : ports) {
        HttpRequest request;
        request.SetProxy("proxy", text, true);
        EXPECT_EQ(request.Port(), expected) << text;
    }
}
