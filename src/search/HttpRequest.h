#pragma once

#include "model/FixedText.h"
#include "search/HttpOutcome.h"
#include "search/SearchJob.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What one HTTP/1.0 exchange asks and of whom: checks and splits an absolute URL
// ([scheme "://"] host [":" port] ["/" path], the host a name, a dotted address or an IPv6
// address in brackets, "[::1]"), decides the request target, the host to connect
// to, the Host line and the port, directly or through an HTTP proxy (a CONNECT tunnel for an
// "https" address), and builds the request's bytes with their fixed header lines.
class HttpRequest {
  public:
    static constexpr uint32_t kMethodGet = SearchJob::kMethodGet;
    static constexpr uint32_t kMethodPost = SearchJob::kMethodPost;
    static constexpr uint32_t kMethodHead = SearchJob::kMethodHead;

    static constexpr int kDefaultProxyPort = 8080;
    static constexpr int kDefaultPort = 80;
    // An "https" address (any letter case) is fetched over TLS, on this port by default.
    static constexpr int kDefaultSecurePort = 443;
    static constexpr int kMaxPortNumber = 65535;
    // Widths of the text fields, terminator not counted. A longer URL or request target is
    // refused with kCodeUrlTooLong, a longer host with kCodeHost (also a bracketed host that is
    // no IPv6 address); a longer body is cut.
    static constexpr std::size_t kMaxUrlLength = 255;
    static constexpr std::size_t kMaxTargetLength = 255;
    static constexpr std::size_t kMaxHostLength = 64;
    static constexpr std::size_t kMaxBodyLength = 511;
    // The product name of the User-Agent line.
    static constexpr std::string_view kUserAgent = "Vantorell 2001";

    // 1 GET, 16 POST, 256 HEAD; any other value is sent as GET.
    void SetMethod(uint32_t method);
    // The URL up to its first zero byte; checked and parsed by Prepare.
    void SetUrl(std::string_view url);
    // The POST body, cut at its first zero byte and at kMaxBodyLength bytes.
    void SetBody(std::string_view body);
    // The proxy host (a name, a dotted address, or an IPv6 address, bracketed or not), its
    // port text and whether to go through it. The port is the leading
    // decimal value of portText, kDefaultProxyPort when that is 0; Port() is the proxy port
    // from here on until Prepare decides otherwise.
    void SetProxy(std::string_view host, std::string_view portText, bool use);

    // Checks and parses the URL and decides target, hosts and port. Failed, with detail
    // kNoDetail, when the URL or the proxy settings are refused.
    HttpOutcome Prepare();
    // Empties Target() until the next Prepare.
    void ForgetTarget();

    // What the request line carries: "/" plus the path directly and inside a tunnel, the
    // absolute URL by proxy otherwise.
    const std::string& Target() const;
    // The host to look up and connect to: the URL's host directly, the proxy host by proxy;
    // an IPv6 address without its brackets.
    const std::string& ConnectHost() const;
    // The URL's host as written, brackets included, for the Host line.
    const std::string& HostHeader() const;
    // The URL's host without the brackets of an IPv6 address: the TLS server name or address.
    const std::string& OriginHost() const;
    // The URL's host in direct mode, read as a dotted address when name lookup fails; empty
    // by proxy, so a proxy host that cannot be looked up is never read as the URL's address.
    const std::string& UrlHost() const;
    // The port to connect to: the proxy port after SetProxy, the URL's port once Prepare has
    // parsed a direct URL.
    int Port() const;
    // The address is "https": TLS to the origin, through a CONNECT tunnel in proxy mode.
    bool Secure() const;
    bool Tunnel() const;
    // "host:port" of the origin that CONNECT asks the proxy for.
    const std::string& TunnelTarget() const;

    // The request for the method, in the pieces it is sent in: one line each, the POST body
    // and its two trailing line ends each on their own.
    std::vector<std::string> Pieces() const;

    // The platform's number rule: optional white space, an optional sign, then the leading
    // decimal digits; text that starts otherwise reads as 0. The value stops growing at a
    // bound far beyond any port or status code, so it never overflows.
    static long LeadingDecimalValue(std::string_view text);

  private:
    uint32_t m_method = kMethodGet;
    std::string m_url;
    FixedText<kMaxBodyLength + 1> m_body;
    std::string m_proxyHost;
    int m_proxyPort = kDefaultProxyPort;
    bool m_useProxy = false;

    // Decided by Prepare.
    std::string m_target;
    std::string m_connectHost;
    std::string m_hostHeader;
    std::string m_originHost;
    std::string m_urlHost;
    int m_port = kDefaultPort;
    bool m_secure = false;
    bool m_tunnel = false;
    std::string m_tunnelTarget;
};
