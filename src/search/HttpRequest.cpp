#include "search/HttpRequest.h"

#include <arpa/inet.h>
#include <cctype>
#include <netinet/in.h>

namespace {

constexpr std::string_view kTextUrlIsNothing = "Error: URL Is Nothing.";
constexpr std::string_view kTextUrlTooLong = "Error: URL Too Long.";
constexpr std::string_view kTextProxyNotSpecified = "Error: Proxy Not Specified.";
constexpr std::string_view kTextProtoParse = "Error: Proto Parse Failed.";
constexpr std::string_view kTextBadHost = "Error: Bad Host In URL.";
constexpr std::string_view kTextBadPort = "Error: Bad Port In URL.";

constexpr std::string_view kAcceptLine = "Accept: image/gif, image/x-bitmap, image/jpeg, */*\r\n";
constexpr std::string_view kAcceptLanguageLine = "Accept-Language: en\r\n";
constexpr std::string_view kCacheControlLine = "Cache-Control: no-cache\r\n";
constexpr std::string_view kProxyConnectionLine = "Proxy-Connection: Keep-Alive\r\n";
constexpr std::string_view kContentTypeLine = "Content-type: application/x-www-form-urlencoded\r\n";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHttpVersion = " HTTP/1.0\r\n";
constexpr std::string_view kSchemePrefix = "http://";
constexpr std::string_view kSecureScheme = "https";

// A scheme is marked by ":" directly before the URL's first "/", and needs "//".
constexpr char kSchemeColon = ':';
constexpr char kSlash = '/';
constexpr char kPortColon = ':';
constexpr std::size_t kSchemeSlashes = 2;
// An IPv6 address in a URL or a proxy host is written in brackets: "http://[::1]:8080/".
constexpr char kOpenBracket = '[';
constexpr char kCloseBracket = ']';
constexpr std::size_t kBracketsLength = 2;

constexpr long kLeadingValueCap = 1000000;
constexpr int kDecimalBase = 10;
constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

std::string_view untilZero(std::string_view text) {
    const std::size_t zero = text.find('\0');
    if (zero == std::string_view::npos) {
        return text;
    }
    return text.substr(0, zero);
}

// The parts of a URL: [scheme "://"] host [":" port] ["/" path], where host may be an IPv6
// address in brackets.
struct UrlParts {
    bool hasScheme = false;
    // The host starts with "[" but is no well-formed bracketed IPv6 address.
    bool badLiteral = false;
    std::string_view scheme;
    std::string_view host;
    bool hasPort = false;
    std::string_view portText;
    std::string_view path;
};

// "[" an IPv6 address "]".
bool isBracketedAddress(std::string_view host) {
    if (host.size() < kBracketsLength || host.front() != kOpenBracket ||
        host.back() != kCloseBracket) {
        return false;
    }
    const std::string inside(host.substr(1, host.size() - kBracketsLength));
    in6_addr address{};
    return ::inet_pton(AF_INET6, inside.c_str(), &address) == 1;
}

// host without the brackets of an IPv6 address: what is looked up and connected to.
std::string withoutBrackets(std::string_view host) {
    if (isBracketedAddress(host)) {
        return std::string(host.substr(1, host.size() - kBracketsLength));
    }
    return std::string(host);
}

// Splits url. Returns false when a scheme's ":" is not followed by "//".
bool splitUrl(std::string_view url, UrlParts& parts) {
    std::size_t hostBegin = 0;
    const std::size_t firstSlash = url.find(kSlash);
    if (firstSlash != std::string_view::npos && firstSlash > 0 &&
        url[firstSlash - 1] == kSchemeColon) {
        parts.hasScheme = true;
        parts.scheme = url.substr(0, firstSlash - 1);
        const std::size_t secondSlash = firstSlash + 1;
        if (secondSlash >= url.size() || url[secondSlash] != kSlash) {
            return false;
        }
        hostBegin = firstSlash + kSchemeSlashes;
    }
    const std::string_view rest = url.substr(hostBegin);
    std::size_t hostEnd = std::string_view::npos;
    if (!rest.empty() && rest.front() == kOpenBracket) {
        // An IPv6 address runs to its "]", which the end, a port or a path must follow.
        const std::size_t close = rest.find(kCloseBracket);
        if (close != std::string_view::npos) {
            hostEnd = close + 1;
        }
        parts.host = rest.substr(0, hostEnd);
        parts.badLiteral =
            !isBracketedAddress(parts.host) ||
            (hostEnd < rest.size() && rest[hostEnd] != kPortColon && rest[hostEnd] != kSlash);
        if (parts.badLiteral || hostEnd == rest.size()) {
            return true;
        }
    } else {
        hostEnd = rest.find_first_of(std::string_view("/:"));
        parts.host = rest.substr(0, hostEnd);
    }
    if (hostEnd == std::string_view::npos) {
        return true;
    }
    std::string_view afterHost = rest.substr(hostEnd);
    if (afterHost.front() == kPortColon) {
        parts.hasPort = true;
        afterHost.remove_prefix(1);
        const std::size_t portEnd = afterHost.find(kSlash);
        parts.portText = afterHost.substr(0, portEnd);
        if (portEnd == std::string_view::npos) {
            return true;
        }
        afterHost.remove_prefix(portEnd);
    }
    // afterHost starts with the "/" before the path.
    parts.path = afterHost.substr(1);
    return true;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = static_cast<char>(std::tolower(static_cast<unsigned char>(a[i])));
        const char y = static_cast<char>(std::tolower(static_cast<unsigned char>(b[i])));
        if (x != y) {
            return false;
        }
    }
    return true;
}

HttpOutcome refused(int code, std::string_view text) {
    return HttpOutcome::Failed(code, HttpOutcome::kNoDetail, text);
}

} // namespace

void HttpRequest::SetMethod(uint32_t method) {
    m_method = method;
}

void HttpRequest::SetUrl(std::string_view url) {
    m_url = untilZero(url);
}

void HttpRequest::SetBody(std::string_view body) {
    m_body.set(body);
}

void HttpRequest::SetProxy(std::string_view host, std::string_view portText, bool use) {
    m_proxyHost = untilZero(host);
    m_useProxy = use;
    const long value = LeadingDecimalValue(untilZero(portText));
    if (value == 0) {
        m_proxyPort = kDefaultProxyPort;
    } else {
        m_proxyPort = static_cast<int>(value);
    }
    m_port = m_proxyPort;
}

HttpOutcome HttpRequest::Prepare() {
    if (m_url.empty()) {
        return refused(HttpOutcome::kCodeUrlIsNothing, kTextUrlIsNothing);
    }
    if (m_url.size() > kMaxUrlLength) {
        return refused(HttpOutcome::kCodeUrlTooLong, kTextUrlTooLong);
    }
    UrlParts parts;
    if (!splitUrl(m_url, parts)) {
        return refused(HttpOutcome::kCodeProtoParse, kTextProtoParse);
    }
    if (parts.host.empty() || parts.host.size() > kMaxHostLength || parts.badLiteral) {
        return refused(HttpOutcome::kCodeHost, kTextBadHost);
    }
    m_secure = parts.hasScheme && equalsIgnoringCase(parts.scheme, kSecureScheme);
    m_tunnel = false;
    int urlPort = m_secure ? kDefaultSecurePort : kDefaultPort;
    if (parts.hasPort) {
        const long value = LeadingDecimalValue(parts.portText);
        if (parts.portText.empty() || value < 0 || value > kMaxPortNumber) {
            return refused(HttpOutcome::kCodePort, kTextBadPort);
        }
        urlPort = static_cast<int>(value);
    }

    m_hostHeader = parts.host;
    m_originHost = withoutBrackets(parts.host);
    if (!m_useProxy) {
        m_target = std::string(1, kSlash) + std::string(parts.path);
        m_connectHost = m_originHost;
        m_urlHost = m_originHost;
        m_port = urlPort;
        return HttpOutcome::Done();
    }
    if (m_proxyHost.empty()) {
        return refused(HttpOutcome::kCodeProxyNotSpecified, kTextProxyNotSpecified);
    }
    const bool bracketed = m_proxyHost.front() == kOpenBracket;
    if (m_proxyHost.size() > kMaxHostLength || (bracketed && !isBracketedAddress(m_proxyHost))) {
        return refused(HttpOutcome::kCodeHost, kTextBadHost);
    }
    if (m_secure) {
        // Through a tunnel the proxy sees only bytes: the request goes in origin form.
        m_tunnel = true;
        m_tunnelTarget = std::string(parts.host) + ":" + std::to_string(urlPort);
        m_target = std::string(1, kSlash) + std::string(parts.path);
    } else if (parts.hasScheme) {
        m_target = m_url;
    } else {
        m_target = std::string(kSchemePrefix) + m_url;
    }
    if (m_target.size() > kMaxTargetLength) {
        return refused(HttpOutcome::kCodeUrlTooLong, kTextUrlTooLong);
    }
    m_connectHost = withoutBrackets(m_proxyHost);
    m_urlHost.clear();
    m_port = m_proxyPort;
    return HttpOutcome::Done();
}

void HttpRequest::ForgetTarget() {
    m_target.clear();
}

const std::string& HttpRequest::Target() const {
    return m_target;
}

const std::string& HttpRequest::ConnectHost() const {
    return m_connectHost;
}

const std::string& HttpRequest::HostHeader() const {
    return m_hostHeader;
}

const std::string& HttpRequest::OriginHost() const {
    return m_originHost;
}

const std::string& HttpRequest::UrlHost() const {
    return m_urlHost;
}

int HttpRequest::Port() const {
    return m_port;
}

bool HttpRequest::Secure() const {
    return m_secure;
}

bool HttpRequest::Tunnel() const {
    return m_tunnel;
}

const std::string& HttpRequest::TunnelTarget() const {
    return m_tunnelTarget;
}

std::vector<std::string> HttpRequest::Pieces() const {
    std::string_view verb = "GET";
    if (m_method == kMethodPost) {
        verb = "POST";
    } else if (m_method == kMethodHead) {
        verb = "HEAD";
    }
    const std::string lineEnd(kLineEnd);
    const std::string hostLine = "Host: " + m_hostHeader + lineEnd;
    std::vector<std::string> pieces;
    pieces.push_back(std::string(verb) + " " + m_target + std::string(kHttpVersion));
    pieces.emplace_back(kAcceptLine);
    pieces.emplace_back(kAcceptLanguageLine);
    if (m_method == kMethodHead) {
        // No cache, proxy or user agent lines in a HEAD request.
        pieces.push_back(hostLine + lineEnd);
        return pieces;
    }
    pieces.emplace_back(kCacheControlLine);
    pieces.emplace_back(kProxyConnectionLine);
    pieces.push_back("User-Agent: " + std::string(kUserAgent) + lineEnd);
    if (m_method != kMethodPost) {
        pieces.push_back(hostLine + lineEnd);
        return pieces;
    }
    pieces.push_back(hostLine);
    pieces.emplace_back(kContentTypeLine);
    pieces.push_back("Content-length: " + std::to_string(m_body.size()) + lineEnd + lineEnd);
    pieces.push_back(m_body.str());
    // Two more line ends, not counted in the content length.
    pieces.push_back(lineEnd);
    pieces.push_back(lineEnd);
    return pieces;
}

long HttpRequest::LeadingDecimalValue(std::string_view text) {
    std::size_t index = text.find_first_not_of(kWhiteSpace);
    if (index == std::string_view::npos) {
        return 0;
    }
    bool negative = false;
    if (text[index] == '-' || text[index] == '+') {
        negative = text[index] == '-';
        ++index;
    }
    long value = 0;
    while (index < text.size() && text[index] >= '0' && text[index] <= '9') {
        if (value < kLeadingValueCap) {
            value = value * kDecimalBase + (text[index] - '0');
        }
        ++index;
    }
    if (negative) {
        return -value;
    }
    return value;
}
