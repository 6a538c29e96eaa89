#include "search/HttpClient.h"

#include <algorithm>
#include <cctype>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <new>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

constexpr std::string_view kTextRecieveNull = "Error: Recieve NULL";
constexpr std::string_view kTextSocket = "Error: socket()";
constexpr std::string_view kTextLinger = "Error: setsockopt(LINGER).";
constexpr std::string_view kTextReceiveTimeout = "Error: setsockopt(RCVTIME).";
constexpr std::string_view kTextSendTimeout = "Error: setsockopt(SNDTIMEO).";
constexpr std::string_view kTextBind = "Error: bind()";
constexpr std::string_view kTextSelect = "Error: select()";
constexpr std::string_view kTextConnect = "Error: connect()";
constexpr std::string_view kTextSend = "Error: send()";
constexpr std::string_view kTextReceive = "Error: recieve()";
constexpr std::string_view kTextMemory = "Error: Memory Alloc.";
constexpr std::string_view kTextUrlIsNothing = "Error: URL Is Nothing.";
constexpr std::string_view kTextUrlTooLong = "Error: URL Too Long.";
constexpr std::string_view kTextProxyNotSpecified = "Error: Proxy Not Specified.";
constexpr std::string_view kTextProtoParse = "Error: Proto Parse Failed.";
constexpr std::string_view kTextBadHost = "Error: Bad Host In URL.";
constexpr std::string_view kTextResolveHost = "Error: Resolve Host.";
constexpr std::string_view kTextBadPort = "Error: Bad Port In URL.";
constexpr std::string_view kTextTlsHandshake = "Error: TLS handshake.";
constexpr std::string_view kTextTlsCertificate = "Error: TLS certificate.";
constexpr std::string_view kTextProxyConnect = "Error: Proxy CONNECT.";

// The detail of a failure that has no system error number.
constexpr int kNoDetail = 0;
constexpr int kSocketCreationDetail = -1;

constexpr std::string_view kAcceptLine = "Accept: image/gif, image/x-bitmap, image/jpeg, */*\r\n";
constexpr std::string_view kAcceptLanguageLine = "Accept-Language: en\r\n";
constexpr std::string_view kCacheControlLine = "Cache-Control: no-cache\r\n";
constexpr std::string_view kProxyConnectionLine = "Proxy-Connection: Keep-Alive\r\n";
constexpr std::string_view kContentTypeLine = "Content-type: application/x-www-form-urlencoded\r\n";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHttpVersion = " HTTP/1.0\r\n";
constexpr std::string_view kSchemePrefix = "http://";
constexpr std::string_view kSecureScheme = "https";
constexpr std::string_view kHeaderEnd = "\r\n\r\n";
// A proxy's answer to CONNECT is a status line and a few headers; more is refused.
constexpr std::size_t kMaxTunnelAnswer = 16 * 1024;
constexpr int kStatusOkFirst = 200;
constexpr int kStatusOkLast = 299;

// A scheme is marked by ":" directly before the URL's first "/", and needs "//".
constexpr char kSchemeColon = ':';
constexpr char kSlash = '/';
constexpr char kPortColon = ':';
constexpr std::size_t kSchemeSlashes = 2;

// The leading value of a number text stops growing here: anything larger is out of range
// anyway, and the sum can never overflow.
constexpr long kLeadingValueCap = 1000000;
constexpr int kDecimalBase = 10;
constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

constexpr int kMillisecondsPerSecond = 1000;
constexpr int kMicrosecondsPerMillisecond = 1000;
constexpr int kWaitWithoutLimit = -1;
constexpr int kNoWait = 0;
// Bound before connecting: any local address, a port the system picks.
constexpr uint16_t kAnyPort = 0;
constexpr int kLingerOn = 1;
constexpr int kLingerSeconds = 0;
constexpr int kPollSocketIndex = 0;
constexpr int kPollWakeIndex = 1;
constexpr nfds_t kPollCount = 2;
constexpr uint64_t kWakeIncrement = 1;

std::atomic<int> g_liveClients{0};

std::string_view untilZero(std::string_view text) {
    const std::size_t zero = text.find('\0');
    if (zero == std::string_view::npos) {
        return text;
    }
    return text.substr(0, zero);
}

// The platform's number rule: optional white space, an optional sign, then the leading decimal
// digits; text that starts otherwise reads as 0.
long leadingDecimalValue(std::string_view text) {
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

timeval timevalFromMilliseconds(int ms) {
    timeval time{};
    if (ms > 0) {
        time.tv_sec = ms / kMillisecondsPerSecond;
        time.tv_usec = (ms % kMillisecondsPerSecond) * kMicrosecondsPerMillisecond;
    }
    return time;
}

// The parts of a URL: [scheme "://"] host [":" port] ["/" path].
struct UrlParts {
    bool hasScheme = false;
    std::string_view scheme;
    std::string_view host;
    bool hasPort = false;
    std::string_view portText;
    std::string_view path;
};

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
    const std::size_t hostEnd = rest.find_first_of(std::string_view("/:"));
    parts.host = rest.substr(0, hostEnd);
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

// The status code of a status line "HTTP/x.y NNN ..."; -1 when there is none.
int statusCodeOf(std::string_view answer) {
    const std::size_t space = answer.find(' ');
    if (answer.substr(0, 5) != "HTTP/" || space == std::string_view::npos) {
        return -1;
    }
    const long code = leadingDecimalValue(answer.substr(space + 1));
    return static_cast<int>(code);
}

} // namespace

HttpClient::HttpClient() {
    ++g_liveClients;
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    Init();
}

HttpClient::~HttpClient() {
    CloseSocket();
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
    }
    --g_liveClients;
}

bool HttpClient::Init() {
    m_done = false;
    return true;
}

void HttpClient::SetMethod(uint32_t method) {
    m_method = method;
}

void HttpClient::SetUrl(std::string_view url) {
    m_url = untilZero(url);
}

void HttpClient::SetBody(std::string_view body) {
    m_body.set(body);
}

void HttpClient::SetProxy(std::string_view host, std::string_view portText, bool use) {
    m_proxyHost = untilZero(host);
    m_useProxy = use;
    const long value = leadingDecimalValue(untilZero(portText));
    if (value == 0) {
        m_proxyPort = kDefaultProxyPort;
    } else {
        m_proxyPort = static_cast<int>(value);
    }
    m_port = m_proxyPort;
}

void HttpClient::SetReceiveTimeout(int ms) {
    m_receiveTimeoutMs = ms;
}

void HttpClient::SetSendTimeout(int ms) {
    m_sendTimeoutMs = ms;
}

void HttpClient::SetNoticeTarget(HttpNoticeTarget* target) {
    m_noticeTarget = target;
}

void HttpClient::SetResponseLimit(std::size_t bytes) {
    m_responseLimit = bytes;
}

void HttpClient::Execute() {
    m_response.Release();
    m_received = 0;
    m_done = false;
    m_requestTarget.clear();
    if (m_cancelled.load()) {
        return;
    }
    if (!PrepareTarget()) {
        return;
    }
    if (!OpenSocket()) {
        return;
    }
    if (!Connect()) {
        return;
    }
    if (!SendRequest()) {
        return;
    }
    ReceiveAnswer();
}

void HttpClient::Cancel() {
    m_cancelled.store(true);
    if (m_wakeFd >= 0) {
        const uint64_t increment = kWakeIncrement;
        // A full counter is already readable, so a failed write changes nothing.
        [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &increment, sizeof increment);
    }
}

bool HttpClient::Cancelled() const {
    return m_cancelled.load();
}

void HttpClient::ReleaseResponse() {
    m_response.Release();
}

void HttpClient::ReportError(int code, int detail, std::string_view text) {
    m_errorCode = code;
    m_errorDetail = detail;
    m_errorText = text;
    if (m_cancelled.load()) {
        return;
    }
    OnError();
}

std::string_view HttpClient::Response() const {
    return m_response.View();
}

std::size_t HttpClient::ReceivedBytes() const {
    return m_received;
}

bool HttpClient::Done() const {
    return m_done;
}

int HttpClient::ErrorCode() const {
    return m_errorCode;
}

int HttpClient::ErrorDetail() const {
    return m_errorDetail;
}

const std::string& HttpClient::ErrorText() const {
    return m_errorText;
}

const std::string& HttpClient::RequestTarget() const {
    return m_requestTarget;
}

int HttpClient::Port() const {
    return m_port;
}

int HttpClient::LiveCount() {
    return g_liveClients.load();
}

void HttpClient::OnError() {
    Notify(m_errorCode, m_errorDetail);
    ReleaseResponse();
}

void HttpClient::OnComplete() {
    ReleaseResponse();
}

void HttpClient::OnData(const char*, std::size_t) {
}

void HttpClient::Notify(int code, int detail) {
    if (m_noticeTarget != nullptr) {
        m_noticeTarget->OnHttpNotice(code, detail);
    }
}

bool HttpClient::PrepareTarget() {
    if (m_url.empty()) {
        ReportError(kCodeUrlIsNothing, kNoDetail, kTextUrlIsNothing);
        return false;
    }
    if (m_url.size() > kMaxUrlLength) {
        ReportError(kCodeUrlTooLong, kNoDetail, kTextUrlTooLong);
        return false;
    }
    UrlParts parts;
    if (!splitUrl(m_url, parts)) {
        ReportError(kCodeProtoParse, kNoDetail, kTextProtoParse);
        return false;
    }
    if (parts.host.empty() || parts.host.size() > kMaxHostLength) {
        ReportError(kCodeHost, kNoDetail, kTextBadHost);
        return false;
    }
    m_tls = parts.hasScheme && equalsIgnoringCase(parts.scheme, kSecureScheme);
    m_tunnel = false;
    int urlPort = m_tls ? kDefaultSecurePort : kDefaultPort;
    if (parts.hasPort) {
        const long value = leadingDecimalValue(parts.portText);
        if (parts.portText.empty() || value < 0 || value > kMaxPortNumber) {
            ReportError(kCodePort, kNoDetail, kTextBadPort);
            return false;
        }
        urlPort = static_cast<int>(value);
    }

    m_hostHeader = parts.host;
    if (!m_useProxy) {
        m_requestTarget = std::string(1, kSlash) + std::string(parts.path);
        m_connectHost = parts.host;
        m_urlHost = parts.host;
        m_port = urlPort;
        return true;
    }
    if (m_proxyHost.empty()) {
        ReportError(kCodeProxyNotSpecified, kNoDetail, kTextProxyNotSpecified);
        return false;
    }
    if (m_proxyHost.size() > kMaxHostLength) {
        ReportError(kCodeHost, kNoDetail, kTextBadHost);
        return false;
    }
    if (m_tls) {
        // Through a tunnel the proxy sees only bytes: the request goes in origin form.
        m_tunnel = true;
        m_tunnelTarget = std::string(parts.host) + ":" + std::to_string(urlPort);
        m_requestTarget = std::string(1, kSlash) + std::string(parts.path);
    } else if (parts.hasScheme) {
        m_requestTarget = m_url;
    } else {
        m_requestTarget = std::string(kSchemePrefix) + m_url;
    }
    if (m_requestTarget.size() > kMaxTargetLength) {
        ReportError(kCodeUrlTooLong, kNoDetail, kTextUrlTooLong);
        return false;
    }
    m_connectHost = m_proxyHost;
    // A proxy host that cannot be looked up is never read as the URL's address.
    m_urlHost.clear();
    m_port = m_proxyPort;
    return true;
}

bool HttpClient::OpenSocket() {
    m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (!SendNotice(kNoticeSocketCreated)) {
        CloseSocket();
        return false;
    }
    if (m_socket < 0) {
        Fail(kCodeSocketFailure, kSocketCreationDetail, kTextSocket);
        return false;
    }
    // Closing resets the connection at once instead of lingering.
    const linger lingerOption{kLingerOn, kLingerSeconds};
    if (::setsockopt(m_socket, SOL_SOCKET, SO_LINGER, &lingerOption, sizeof lingerOption) != 0) {
        Fail(kCodeSocketFailure, errno, kTextLinger);
        return false;
    }
    const timeval receiveLimit = timevalFromMilliseconds(m_receiveTimeoutMs);
    if (::setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &receiveLimit, sizeof receiveLimit) != 0) {
        Fail(kCodeSocketFailure, errno, kTextReceiveTimeout);
        return false;
    }
    const timeval sendLimit = timevalFromMilliseconds(m_sendTimeoutMs);
    if (::setsockopt(m_socket, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit) != 0) {
        Fail(kCodeSocketFailure, errno, kTextSendTimeout);
        return false;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(kAnyPort);
    if (::bind(m_socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        Fail(kCodeSocketFailure, errno, kTextBind);
        return false;
    }
    return true;
}

bool HttpClient::Connect() {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int lookup = ::getaddrinfo(m_connectHost.c_str(), nullptr, &hints, &found);
    const int lookupErrno = errno;
    if (m_cancelled.load()) {
        if (found != nullptr) {
            ::freeaddrinfo(found);
        }
        CloseSocket();
        return false;
    }
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    bool resolved = false;
    if (lookup == 0 && found != nullptr) {
        remote.sin_addr = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
        resolved = true;
    }
    if (found != nullptr) {
        ::freeaddrinfo(found);
    }
    if (!resolved && !m_urlHost.empty()) {
        const in_addr_t dotted = ::inet_addr(m_urlHost.c_str());
        if (dotted != INADDR_NONE) {
            remote.sin_addr.s_addr = dotted;
            resolved = true;
        }
    }
    if (!resolved) {
        int detail = lookup;
        if (lookup == EAI_SYSTEM) {
            detail = lookupErrno;
        }
        Fail(kCodeHost, detail, kTextResolveHost);
        return false;
    }

    pollfd probe{m_socket, POLLIN, 0};
    if (::poll(&probe, 1, kNoWait) < 0) {
        Fail(kCodeSocketFailure, errno, kTextSelect);
        return false;
    }

    if (m_port < 0 || m_port > kMaxPortNumber) {
        Fail(kCodeSocketFailure, EINVAL, kTextConnect);
        return false;
    }
    remote.sin_port = htons(static_cast<uint16_t>(m_port));
    // Every wait from here on polls the socket together with the wake descriptor.
    const int flags = ::fcntl(m_socket, F_GETFL);
    if (flags < 0 || ::fcntl(m_socket, F_SETFL, flags | O_NONBLOCK) != 0) {
        Fail(kCodeSocketFailure, errno, kTextConnect);
        return false;
    }
    if (::connect(m_socket, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0) {
        if (errno != EINPROGRESS && errno != EINTR) {
            Fail(kCodeSocketFailure, errno, kTextConnect);
            return false;
        }
        const WaitResult wait = WaitForSocket(POLLOUT, m_sendTimeoutMs);
        if (wait == WaitResult::Cancelled) {
            CloseSocket();
            return false;
        }
        if (wait == WaitResult::TimedOut) {
            Fail(kCodeSocketFailure, ETIMEDOUT, kTextConnect);
            return false;
        }
        if (wait == WaitResult::Failed) {
            Fail(kCodeSocketFailure, errno, kTextConnect);
            return false;
        }
        int pending = 0;
        socklen_t pendingSize = sizeof pending;
        if (::getsockopt(m_socket, SOL_SOCKET, SO_ERROR, &pending, &pendingSize) != 0) {
            Fail(kCodeSocketFailure, errno, kTextConnect);
            return false;
        }
        if (pending != 0) {
            Fail(kCodeSocketFailure, pending, kTextConnect);
            return false;
        }
    }
    if (m_tunnel && !OpenTunnel()) {
        return false;
    }
    if (m_tls && !StartTls()) {
        return false;
    }
    if (!SendNotice(kNoticeConnected)) {
        CloseSocket();
        return false;
    }
    return true;
}

std::vector<std::string> HttpClient::RequestPieces() const {
    std::string_view verb = "GET";
    if (m_method == kMethodPost) {
        verb = "POST";
    } else if (m_method == kMethodHead) {
        verb = "HEAD";
    }
    const std::string lineEnd(kLineEnd);
    const std::string hostLine = "Host: " + m_hostHeader + lineEnd;
    std::vector<std::string> pieces;
    pieces.push_back(std::string(verb) + " " + m_requestTarget + std::string(kHttpVersion));
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

bool HttpClient::SendRequest() {
    for (const std::string& piece : RequestPieces()) {
        if (!SendPiece(piece)) {
            return false;
        }
    }
    if (!SendNotice(kNoticeRequestSent)) {
        CloseSocket();
        return false;
    }
    return true;
}

bool HttpClient::SendPiece(std::string_view piece) {
    while (!piece.empty()) {
        if (m_cancelled.load()) {
            CloseSocket();
            return false;
        }
        short waitFor = POLLOUT;
        std::size_t sent = 0;
        int error = 0;
        const IoResult result = WriteNow(piece, sent, waitFor, error);
        if (result == IoResult::Done) {
            piece.remove_prefix(sent);
            continue;
        }
        if (result != IoResult::Wait) {
            Fail(kCodeSocketFailure, error, kTextSend);
            return false;
        }
        const WaitResult wait = WaitForSocket(waitFor, m_sendTimeoutMs);
        if (wait == WaitResult::Cancelled) {
            CloseSocket();
            return false;
        }
        if (wait == WaitResult::TimedOut) {
            Fail(kCodeSocketFailure, ETIMEDOUT, kTextSend);
            return false;
        }
        if (wait == WaitResult::Failed) {
            Fail(kCodeSocketFailure, errno, kTextSend);
            return false;
        }
    }
    return true;
}

HttpClient::IoResult HttpClient::WriteNow(std::string_view bytes, std::size_t& sent,
                                          short& waitFor, int& error) {
    if (m_session != nullptr) {
        const TlsSession::Result result = m_session->Write(bytes.data(), bytes.size(), sent);
        return FromTls(result, waitFor, error);
    }
    const ssize_t count = ::send(m_socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (count > 0) {
        sent = static_cast<std::size_t>(count);
        return IoResult::Done;
    }
    error = errno;
    if (count < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
        waitFor = POLLOUT;
        return IoResult::Wait;
    }
    return IoResult::Failed;
}

HttpClient::IoResult HttpClient::ReadNow(char* into, std::size_t size, std::size_t& got,
                                         short& waitFor, int& error) {
    if (m_session != nullptr) {
        const TlsSession::Result result = m_session->Read(into, size, got);
        return FromTls(result, waitFor, error);
    }
    errno = 0;
    const ssize_t count = ::recv(m_socket, into, size, MSG_DONTWAIT);
    error = errno;
    if (count > 0) {
        got = static_cast<std::size_t>(count);
        return IoResult::Done;
    }
    if (count == 0) {
        return IoResult::Closed;
    }
    if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
        waitFor = POLLIN;
        return IoResult::Wait;
    }
    return IoResult::Failed;
}

HttpClient::IoResult HttpClient::FromTls(TlsSession::Result result, short& waitFor, int& error) {
    switch (result) {
    case TlsSession::Result::Done:
        return IoResult::Done;
    case TlsSession::Result::WantRead:
        waitFor = POLLIN;
        return IoResult::Wait;
    case TlsSession::Result::WantWrite:
        waitFor = POLLOUT;
        return IoResult::Wait;
    case TlsSession::Result::Closed:
        return IoResult::Closed;
    case TlsSession::Result::Failed:
        break;
    }
    error = m_session->FailureDetail();
    return IoResult::Failed;
}

bool HttpClient::OpenTunnel() {
    if (!SendPiece("CONNECT " + m_tunnelTarget + std::string(kHttpVersion)) ||
        !SendPiece("Host: " + m_tunnelTarget + std::string(kLineEnd) + std::string(kLineEnd))) {
        return false;
    }
    // Read the proxy's answer a byte at a time, so nothing of the tunnel's own bytes is taken.
    std::string answer;
    while (answer.size() < kMaxTunnelAnswer &&
           (answer.size() < kHeaderEnd.size() ||
            answer.compare(answer.size() - kHeaderEnd.size(), kHeaderEnd.size(), kHeaderEnd) !=
                0)) {
        char byte = 0;
        std::size_t got = 0;
        short waitFor = POLLIN;
        int error = 0;
        const IoResult result = ReadNow(&byte, 1, got, waitFor, error);
        if (result == IoResult::Done) {
            answer.push_back(byte);
            continue;
        }
        if (result != IoResult::Wait) {
            Fail(kCodeSocketFailure, result == IoResult::Closed ? ECONNRESET : error,
                 kTextProxyConnect);
            return false;
        }
        const WaitResult wait = WaitForSocket(waitFor, m_receiveTimeoutMs);
        if (wait == WaitResult::Cancelled) {
            CloseSocket();
            return false;
        }
        if (wait != WaitResult::Ready) {
            Fail(kCodeSocketFailure, wait == WaitResult::TimedOut ? ETIMEDOUT : errno,
                 kTextProxyConnect);
            return false;
        }
    }
    const int status = statusCodeOf(answer);
    if (status < kStatusOkFirst || status > kStatusOkLast) {
        Fail(kCodeSocketFailure, status, kTextProxyConnect);
        return false;
    }
    return true;
}

bool HttpClient::StartTls() {
    m_session = std::make_unique<TlsSession>();
    if (!m_session->Attach(m_socket, m_hostHeader)) {
        Fail(kCodeSocketFailure, kNoDetail, kTextTlsHandshake);
        return false;
    }
    for (;;) {
        const TlsSession::Result result = m_session->Handshake();
        if (result == TlsSession::Result::Done) {
            return true;
        }
        if (result == TlsSession::Result::Failed || result == TlsSession::Result::Closed) {
            const bool refused = m_session->CertificateRefused();
            Fail(kCodeSocketFailure, m_session->FailureDetail(),
                 refused ? kTextTlsCertificate : kTextTlsHandshake);
            return false;
        }
        const short waitFor = result == TlsSession::Result::WantRead ? POLLIN : POLLOUT;
        const WaitResult wait = WaitForSocket(waitFor, m_sendTimeoutMs);
        if (wait == WaitResult::Cancelled) {
            CloseSocket();
            return false;
        }
        if (wait != WaitResult::Ready) {
            Fail(kCodeSocketFailure, wait == WaitResult::TimedOut ? ETIMEDOUT : errno,
                 kTextTlsHandshake);
            return false;
        }
    }
}

bool HttpClient::HandOnPieces(char* bytes, std::size_t size) {
    for (std::size_t offset = 0; offset < size; offset += kMaxPiece) {
        const std::size_t length = std::min(kMaxPiece, size - offset);
        char* const piece = bytes + offset;
        const char covered = piece[length];
        piece[length] = '\0';
        if (m_cancelled.load()) {
            return false;
        }
        OnData(piece, length);
        piece[length] = covered;
    }
    return true;
}

void HttpClient::ReceiveAnswer() {
    // Reads take up to kReadSize bytes at once; what they bring is handed on in pieces of at
    // most kMaxPiece bytes, each followed by a terminating zero written in place (the byte it
    // covers is put back afterwards). One byte more than a read, for the last zero.
    std::vector<char> buffer(kReadSize + 1);
    char* const received = buffer.data();
    bool failed = false;
    int failure = 0;
    for (;;) {
        // Read what is there first and wait only when nothing is: a page that streams in fast
        // then costs one system call per piece, not two.
        std::size_t got = 0;
        short waitFor = POLLIN;
        int error = 0;
        IoResult result = ReadNow(received, kReadSize, got, waitFor, error);
        while (result == IoResult::Wait) {
            const WaitResult wait = WaitForSocket(waitFor, m_receiveTimeoutMs);
            if (wait == WaitResult::Cancelled) {
                CloseSocket();
                return;
            }
            if (wait != WaitResult::Ready) {
                error = wait == WaitResult::TimedOut ? ETIMEDOUT : errno;
                result = IoResult::Failed;
                break;
            }
            result = ReadNow(received, kReadSize, got, waitFor, error);
        }
        const ssize_t count = result == IoResult::Done     ? static_cast<ssize_t>(got)
                              : result == IoResult::Closed ? 0
                                                           : -1;
        const int receiveErrno = error;
        if (count > 0) {
            const std::size_t size = static_cast<std::size_t>(count);
            m_received += size;
            const std::size_t room = m_responseLimit - std::min(m_responseLimit, m_response.Size());
            if (!m_response.Append(received, std::min(size, room))) {
                Fail(kCodeSocketFailure, ENOMEM, kTextMemory);
                return;
            }
            if (!HandOnPieces(received, size)) {
                CloseSocket();
                return;
            }
            continue;
        }
        if (count == 0) {
            // The server closed the connection.
            if (m_received == 0) {
                ReportError(kCodeRecieveNull, receiveErrno, kTextRecieveNull);
            }
            break;
        }
        if (receiveErrno == EINTR || receiveErrno == EAGAIN || receiveErrno == EWOULDBLOCK) {
            continue;
        }
        failed = true;
        failure = receiveErrno;
        break;
    }
    CloseSocket();
    if (m_cancelled.load()) {
        return;
    }
    if (failed) {
        ReportError(kCodeSocketFailure, failure, kTextReceive);
        return;
    }
    OnComplete();
    m_done = true;
}

HttpClient::WaitResult HttpClient::WaitForSocket(short events, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const bool limited = timeoutMs > 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd fds[kPollCount] = {};
    fds[kPollSocketIndex].fd = m_socket;
    fds[kPollSocketIndex].events = events;
    fds[kPollWakeIndex].fd = m_wakeFd;
    fds[kPollWakeIndex].events = POLLIN;
    for (;;) {
        if (m_cancelled.load()) {
            return WaitResult::Cancelled;
        }
        int waitMs = kWaitWithoutLimit;
        if (limited) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) {
                return WaitResult::TimedOut;
            }
            waitMs = static_cast<int>(left);
        }
        const int ready = ::poll(fds, kPollCount, waitMs);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return WaitResult::Failed;
        }
        if (fds[kPollWakeIndex].revents != 0 || m_cancelled.load()) {
            return WaitResult::Cancelled;
        }
        if (fds[kPollSocketIndex].revents != 0) {
            return WaitResult::Ready;
        }
    }
}

bool HttpClient::SendNotice(int code) {
    if (m_cancelled.load()) {
        return false;
    }
    Notify(code, kNoDetail);
    return !m_cancelled.load();
}

void HttpClient::Fail(int code, int detail, std::string_view text) {
    CloseSocket();
    ReportError(code, detail, text);
}

void HttpClient::CloseSocket() {
    // The TLS connection is abandoned without a closing alert, as the socket is without a
    // graceful close.
    m_session.reset();
    if (m_socket >= 0) {
        ::close(m_socket);
        m_socket = -1;
    }
}
