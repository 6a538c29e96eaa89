#pragma once

#include "search/ExchangeSocket.h"
#include "search/HttpNoticeTarget.h"
#include "search/HttpOutcome.h"
#include "search/HttpRequest.h"
#include "search/ResponseBuffer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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
//
// The units it is built from: HttpRequest decides and builds the request, SocketConnector
// opens the connection, ProxyTunnel asks a proxy for a tunnel, and ExchangeSocket carries the
// bytes and the cancellation.
class HttpClient {
  public:
    // Failure codes, with their texts in ErrorText().
    static constexpr int kCodeRecieveNull = HttpOutcome::kCodeRecieveNull;
    static constexpr int kCodeSocketFailure = HttpOutcome::kCodeSocketFailure;
    static constexpr int kCodeUrlIsNothing = HttpOutcome::kCodeUrlIsNothing;
    static constexpr int kCodeUrlTooLong = HttpOutcome::kCodeUrlTooLong;
    static constexpr int kCodeProxyNotSpecified = HttpOutcome::kCodeProxyNotSpecified;
    static constexpr int kCodeProtoParse = HttpOutcome::kCodeProtoParse;
    static constexpr int kCodeHost = HttpOutcome::kCodeHost;
    static constexpr int kCodePort = HttpOutcome::kCodePort;
    // Progress notices, in the order a successful exchange sends them.
    static constexpr int kNoticeSocketCreated = 11; // also sent when creating the socket failed
    static constexpr int kNoticeConnected = 9;
    static constexpr int kNoticeRequestSent = 10;

    static constexpr uint32_t kMethodGet = HttpRequest::kMethodGet;
    static constexpr uint32_t kMethodPost = HttpRequest::kMethodPost;
    static constexpr uint32_t kMethodHead = HttpRequest::kMethodHead;

    // Bytes read per receive at most, so a piece always fits its buffer with a terminating zero.
    static constexpr std::size_t kMaxPiece = 4095;
    // The most one receive call takes; a fast page then costs few system calls, and what it
    // brings is still handed on in pieces of at most kMaxPiece bytes.
    static constexpr std::size_t kReadSize = 256 * 1024;
    static constexpr int kDefaultTimeoutMs = 90000;
    static constexpr int kDefaultProxyPort = HttpRequest::kDefaultProxyPort;
    static constexpr int kDefaultPort = HttpRequest::kDefaultPort;
    static constexpr int kDefaultSecurePort = HttpRequest::kDefaultSecurePort;
    static constexpr int kMaxPortNumber = HttpRequest::kMaxPortNumber;
    // The response limit that keeps every byte.
    static constexpr std::size_t kKeepWholeResponse = SIZE_MAX;
    static constexpr std::size_t kMaxUrlLength = HttpRequest::kMaxUrlLength;
    static constexpr std::size_t kMaxTargetLength = HttpRequest::kMaxTargetLength;
    static constexpr std::size_t kMaxHostLength = HttpRequest::kMaxHostLength;
    static constexpr std::size_t kMaxBodyLength = HttpRequest::kMaxBodyLength;
    static constexpr std::string_view kUserAgent = HttpRequest::kUserAgent;

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
    // Each step returns false when the exchange ended (failed and reported, or cancelled).
    // Creates, configures and binds the socket, with the notice of its creation.
    bool OpenSocket();
    // Connects, through a tunnel and with TLS when the address asks for them.
    bool Connect();
    // Sends the request, one send per piece.
    bool SendRequest();
    // Reads the answer to its end and finishes the exchange.
    void ReceiveAnswer();
    // Hands bytes on to OnData in pieces of at most kMaxPiece bytes; false once cancelled.
    bool HandOnPieces(char* bytes, std::size_t size);

    // True when the step is done; otherwise closes the socket, reports a failure and returns
    // false.
    bool Finish(const HttpOutcome& outcome);
    // Sends a progress notice. Returns false when the client is cancelled.
    bool SendNotice(int code);
    // Closes the socket (if open) and reports the failure.
    void Fail(int code, int detail, std::string_view text);
    void CloseSocket();

    // Created and closed within one exchange by the thread that runs Execute; its
    // cancellation may be set from any thread.
    ExchangeSocket m_socket;
    HttpRequest m_request;
    int m_receiveTimeoutMs = kDefaultTimeoutMs;
    int m_sendTimeoutMs = kDefaultTimeoutMs;
    HttpNoticeTarget* m_noticeTarget = nullptr;

    ResponseBuffer m_response;
    std::size_t m_responseLimit = kKeepWholeResponse;
    std::size_t m_received = 0;
    bool m_done = false;
    int m_errorCode = 0;
    int m_errorDetail = 0;
    std::string m_errorText;
};
