#include "search/HttpClient.h"

#include "search/ProxyTunnel.h"
#include "search/SocketConnector.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <poll.h>
#include <vector>

namespace {

constexpr std::string_view kTextRecieveNull = "Error: Recieve NULL";
constexpr std::string_view kTextReceive = "Error: recieve()";
constexpr std::string_view kTextMemory = "Error: Memory Alloc.";

using IoResult = ExchangeSocket::IoResult;
using WaitResult = ExchangeSocket::WaitResult;

std::atomic<int> g_liveClients{0};

} // namespace

HttpClient::HttpClient() {
    ++g_liveClients;
    Init();
}

HttpClient::~HttpClient() {
    CloseSocket();
    --g_liveClients;
}

bool HttpClient::Init() {
    m_done = false;
    return true;
}

void HttpClient::SetMethod(uint32_t method) {
    m_request.SetMethod(method);
}

void HttpClient::SetUrl(std::string_view url) {
    m_request.SetUrl(url);
}

void HttpClient::SetBody(std::string_view body) {
    m_request.SetBody(body);
}

void HttpClient::SetProxy(std::string_view host, std::string_view portText, bool use) {
    m_request.SetProxy(host, portText, use);
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
    m_request.ForgetTarget();
    if (m_socket.Cancelled()) {
        return;
    }
    if (!Finish(m_request.Prepare())) {
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
    m_socket.Cancel();
}

bool HttpClient::Cancelled() const {
    return m_socket.Cancelled();
}

void HttpClient::ReleaseResponse() {
    m_response.Release();
}

void HttpClient::ReportError(int code, int detail, std::string_view text) {
    m_errorCode = code;
    m_errorDetail = detail;
    m_errorText = text;
    if (m_socket.Cancelled()) {
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
    return m_request.Target();
}

int HttpClient::Port() const {
    return m_request.Port();
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

bool HttpClient::OpenSocket() {
    SocketConnector connector(m_socket, m_receiveTimeoutMs, m_sendTimeoutMs);
    connector.Create();
    if (!SendNotice(kNoticeSocketCreated)) {
        CloseSocket();
        return false;
    }
    return Finish(connector.Configure());
}

bool HttpClient::Connect() {
    SocketConnector connector(m_socket, m_receiveTimeoutMs, m_sendTimeoutMs);
    if (!Finish(
            connector.Connect(m_request.ConnectHost(), m_request.UrlHost(), m_request.Port()))) {
        return false;
    }
    if (m_request.Tunnel()) {
        ProxyTunnel tunnel(m_socket, m_receiveTimeoutMs, m_sendTimeoutMs);
        if (!Finish(tunnel.Open(m_request.TunnelTarget()))) {
            return false;
        }
    }
    if (m_request.Secure() && !Finish(m_socket.StartTls(m_request.HostHeader(), m_sendTimeoutMs))) {
        return false;
    }
    if (!SendNotice(kNoticeConnected)) {
        CloseSocket();
        return false;
    }
    return true;
}

bool HttpClient::SendRequest() {
    for (const std::string& piece : m_request.Pieces()) {
        if (!Finish(m_socket.SendAll(piece, m_sendTimeoutMs))) {
            return false;
        }
    }
    if (!SendNotice(kNoticeRequestSent)) {
        CloseSocket();
        return false;
    }
    return true;
}

bool HttpClient::HandOnPieces(char* bytes, std::size_t size) {
    for (std::size_t offset = 0; offset < size; offset += kMaxPiece) {
        const std::size_t length = std::min(kMaxPiece, size - offset);
        char* const piece = bytes + offset;
        const char covered = piece[length];
        piece[length] = '\0';
        if (m_socket.Cancelled()) {
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
        IoResult result = m_socket.ReadNow(received, kReadSize, got, waitFor, error);
        while (result == IoResult::Wait) {
            const WaitResult wait = m_socket.Wait(waitFor, m_receiveTimeoutMs);
            if (wait == WaitResult::Cancelled) {
                CloseSocket();
                return;
            }
            if (wait != WaitResult::Ready) {
                error = wait == WaitResult::TimedOut ? ETIMEDOUT : errno;
                result = IoResult::Failed;
                break;
            }
            result = m_socket.ReadNow(received, kReadSize, got, waitFor, error);
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
    if (m_socket.Cancelled()) {
        return;
    }
    if (failed) {
        ReportError(kCodeSocketFailure, failure, kTextReceive);
        return;
    }
    OnComplete();
    m_done = true;
}

bool HttpClient::Finish(const HttpOutcome& outcome) {
    if (outcome.IsDone()) {
        return true;
    }
    if (outcome.IsFailed()) {
        Fail(outcome.Code(), outcome.Detail(), outcome.Text());
        return false;
    }
    CloseSocket();
    return false;
}

bool HttpClient::SendNotice(int code) {
    if (m_socket.Cancelled()) {
        return false;
    }
    Notify(code, HttpOutcome::kNoDetail);
    return !m_socket.Cancelled();
}

void HttpClient::Fail(int code, int detail, std::string_view text) {
    CloseSocket();
    ReportError(code, detail, text);
}

void HttpClient::CloseSocket() {
    m_socket.Close();
}
