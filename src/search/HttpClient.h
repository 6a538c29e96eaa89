#pragma once

#include "model/FixedText.h"
#include "search/HttpNoticeTarget.h"
#include "search/ResponseBuffer.h"
#include "search/SearchJob.h"
#include "search/TlsSession.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <memory>
#include <vector>

// One HTTP/1.0 exchange over an IPv4 TCP socket, directly or through an HTTP proxy: parses an
// absolute URL, sends a GET, POST or HEAD request with fixed header lines, and reads the answer
// until the server closes the connection. The answer is not interpreted: its bytes (status
// line, headers, body) are kept in Response(), up to the response limit, and every piece is
// handed to OnData as it arrives.
// Progress and failures are numbered notices (codes 0 to 11) that go through Notify to the
// notice target, and every failure is reported once through ReportError and OnError.
//
// An object serves one exchange: configure it, run Execute once on the owner's thread, destroy
// it. Only Cancel may be called from another thread while Execute runs.
class HttpClient {
  public:
    // Failure codes, with their texts in ErrorText().
    static constexpr int kCodeRecieveNull = 0; // the server closed without sending anything
    static constexpr int kCodeSocketFailure = 1;
    static constexpr int kCodeUrlIsNothing = 2;
    static constexpr int kCodeUrlTooLong = 3;
    static constexpr int kCodeProxyNotSpecified = 5;
    static constexpr int kCodeProtoParse = 6;
    static constexpr int kCodeHost = 7;
    static constexpr int kCodePort = 8;
    // Progress notices, in the order a successful exchange sends them.
    static constexpr int kNoticeSocketCreated = 11; // also sent when creating the socket failed
    static constexpr int kNoticeConnected = 9;
    static constexpr int kNoticeRequestSent = 10;

    static constexpr uint32_t kMethodGet = SearchJob::kMethodGet;
    static constexpr uint32_t kMethodPost = SearchJob::kMethodPost;
    static constexpr uint32_t kMethodHead = SearchJob::kMethodHead;

    // Bytes read per receive at most, so a piece always fits its buffer with a terminating zero.
    static constexpr std::size_t kMaxPiece = 4095;
    // The most one receive call takes; a fast page then costs few system calls, and what it
    // brings is still handed on in pieces of at most kMaxPiece bytes.
    static constexpr std::size_t kReadSize = 256 * 1024;
    static constexpr int kDefaultTimeoutMs = 90000;
    static constexpr int kDefaultProxyPort = 8080;
    static constexpr int kDefaultPort = 80;
    // An "https" address (any letter case) is fetched over TLS, on this port by default.
    static constexpr int kDefaultSecurePort = 443;
    static constexpr int kMaxPortNumber = 65535;
    // The response limit that keeps every byte.
    static constexpr std::size_t kKeepWholeResponse = SIZE_MAX;
    // Widths of the text fields, terminator not counted. A longer URL or request target is
    // refused with kCodeUrlTooLong, a longer host with kCodeHost; a longer body is cut.
    static constexpr std::size_t kMaxUrlLength = 255;
    static constexpr std::size_t kMaxTargetLength = 255;
    static constexpr std::size_t kMaxHostLength = 64;
    static constexpr std::size_t kMaxBodyLength = 511;
    // The product name of the User-Agent line.
    static constexpr std::string_view kUserAgent = "Vantorell 2001";

    HttpClient();
    virtual ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Clears Done(). Returns true.
    virtual bool Init();

    // 1 GET, 16 POST, 256 HEAD; any other value is sent as GET.
    void SetMethod(uint32_t method);
    // The URL up to its first zero byte; checked and parsed by Execute.
    void SetUrl(std::string_view url);
    // The POST body, cut at its first zero byte and at kMaxBodyLength bytes.
    void SetBody(std::string_view body);
    // The proxy host, its port text and whether to go through it. The port is the leading
    // decimal value of portText (white space, an optional sign, digits), kDefaultProxyPort when
    // that is 0.
    void SetProxy(std::string_view host, std::string_view portText, bool use);
    // Longest wait for each receive, and for the connection and each send, in milliseconds;
    // 0 or less waits without limit.
    void SetReceiveTimeout(int ms);
    void SetSendTimeout(int ms);
    // Where Notify sends notices; nullptr drops them. The target must outlive Execute.
    void SetNoticeTarget(HttpNoticeTarget* target);
    // Keeps at most the first bytes of the answer in Response(); every byte still reaches
    // OnData. Owners that use only the pieces (a search worker) keep nothing, so an endless
    // answer costs them no memory. Default: the whole answer.
    void SetResponseLimit(std::size_t bytes);

    // Runs the whole exchange on the calling thread. The outcome is told by which hook ran
    // (OnComplete or OnError) and by Done().
    void Execute();
    // Ends the exchange from any thread, wherever it waits (connecting, sending, receiving):
    // Execute closes its socket and returns promptly. No hook or notice starts after the
    // cancellation is seen; a hook already running when Cancel is called runs to its end, and
    // overrides that hand work to another thread check Cancelled() there. Name lookup cannot be
    // interrupted: the exchange ends when it returns. A cancelled client stays cancelled.
    void Cancel();
    bool Cancelled() const;

    // Frees the response (its bytes and its capacity).
    void ReleaseResponse();
    // Stores the failure, then calls OnError (unless the client was cancelled).
    void ReportError(int code, int detail, std::string_view text);

    // The bytes received in the last exchange, up to the response limit, until released.
    std::string_view Response() const;
    // How many bytes the last exchange received, kept or not.
    std::size_t ReceivedBytes() const;
    // True when the last exchange completed without a failure that ended it.
    bool Done() const;
    int ErrorCode() const;
    // A system error number (errno, or the name lookup's error), -1 or 0.
    int ErrorDetail() const;
    const std::string& ErrorText() const;
    // What the request line carried: "/" plus the path directly, the absolute URL by proxy.
    const std::string& RequestTarget() const;
    // The port to connect to: the proxy port after SetProxy, the URL's port once Execute has
    // parsed a direct URL.
    int Port() const;

    // Clients alive in the whole process.
    static int LiveCount();

  protected:
    // Base: sends the error notice (ErrorCode(), ErrorDetail()) through Notify, then releases
    // the response.
    virtual void OnError();
    // Base: releases the response. Overrides read Response() before calling it.
    virtual void OnComplete();
    // One received piece of at most kMaxPiece bytes, followed by a zero byte in its buffer.
    // Base: nothing.
    virtual void OnData(const char* piece, std::size_t size);
    // A progress or error notice. Base: hands it to the notice target, if any.
    virtual void Notify(int code, int detail);

  private:
    // How a read or write that does not wait ended.
    enum class IoResult {
        Done,   // bytes moved
        Wait,   // nothing moved yet: wait for the direction given, then try again
        Closed, // the peer ended the connection
        Failed  // the connection failed; the error says how
    };

    // How a wait for the socket ended.
    enum class WaitResult {
        Ready,     // the socket is ready, or has an error or hang-up that the next call reports
        TimedOut,  // the time limit passed first
        Cancelled, // Cancel was called
        Failed     // poll itself failed; errno tells why
    };

    // Parses the URL and decides the request target, hosts and port. Returns false after
    // reporting a failure.
    bool PrepareTarget();
    // Creates, configures and binds the socket. Returns false when the exchange ended.
    bool OpenSocket();
    // Resolves the host and connects. Returns false when the exchange ended.
    bool Connect();
    // The request for the method, in the pieces it is sent in: one line each, the POST body
    // and its two trailing line ends each on their own.
    std::vector<std::string> RequestPieces() const;
    // Sends the request, one send per piece. Returns false when the exchange ended.
    bool SendRequest();
    // Sends all of piece, waiting for room as needed. Returns false when the exchange ended.
    bool SendPiece(std::string_view piece);
    // Reads the answer to its end and finishes the exchange.
    void ReceiveAnswer();
    // One read or write without waiting, over TLS when the exchange uses it.
    IoResult ReadNow(char* into, std::size_t size, std::size_t& got, short& waitFor, int& error);
    IoResult WriteNow(std::string_view bytes, std::size_t& sent, short& waitFor, int& error);
    IoResult FromTls(TlsSession::Result result, short& waitFor, int& error);
    // Asks the proxy for a tunnel to the https origin. Returns false when the exchange ended.
    bool OpenTunnel();
    // The TLS handshake with the origin. Returns false when the exchange ended.
    bool StartTls();
    // Hands bytes on to OnData in pieces of at most kMaxPiece bytes; false once cancelled.
    bool HandOnPieces(char* bytes, std::size_t size);

    WaitResult WaitForSocket(short events, int timeoutMs);
    // Sends a progress notice. Returns false when the client is cancelled.
    bool SendNotice(int code);
    // Closes the socket (if open) and reports the failure.
    void Fail(int code, int detail, std::string_view text);
    void CloseSocket();

    std::atomic<bool> m_cancelled{false};
    // Becomes readable when Cancel is called; every wait polls it beside the socket. Lives as
    // long as the object, so Cancel never touches a closed descriptor.
    int m_wakeFd = -1;
    // Created and closed within one exchange, by the thread that runs Execute only.
    int m_socket = -1;

    uint32_t m_method = kMethodGet;
    std::string m_url;
    FixedText<kMaxBodyLength + 1> m_body;
    std::string m_proxyHost;
    int m_proxyPort = kDefaultProxyPort;
    bool m_useProxy = false;
    int m_receiveTimeoutMs = kDefaultTimeoutMs;
    int m_sendTimeoutMs = kDefaultTimeoutMs;
    HttpNoticeTarget* m_noticeTarget = nullptr;

    // Decided by PrepareTarget.
    std::string m_requestTarget;
    std::string m_connectHost;
    std::string m_hostHeader;
    // The URL's host in direct mode, read as a dotted address when name lookup fails.
    std::string m_urlHost;
    int m_port = kDefaultPort;
    // The address is "https": TLS to the origin, through a CONNECT tunnel in proxy mode.
    bool m_tls = false;
    bool m_tunnel = false;
    std::string m_tunnelTarget;
    std::unique_ptr<TlsSession> m_session;

    ResponseBuffer m_response;
    std::size_t m_responseLimit = kKeepWholeResponse;
    std::size_t m_received = 0;
    bool m_done = false;
    int m_errorCode = 0;
    int m_errorDetail = 0;
    std::string m_errorText;
};
