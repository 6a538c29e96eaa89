#include "search/ProxyTunnel.h"

#include "search/HttpRequest.h"

#include <cerrno>
#include <poll.h>

namespace {

constexpr std::string_view kTextProxyConnect = "Error: Proxy CONNECT.";
constexpr std::string_view kHttpVersion = " HTTP/1.0\r\n";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHeaderEnd = "\r\n\r\n";
constexpr std::string_view kStatusLineStart = "HTTP/";
// A proxy's answer to CONNECT is a status line and a few headers; more is refused.
constexpr std::size_t kMaxAnswer = 16 * 1024;
constexpr int kStatusOkFirst = 200;
constexpr int kStatusOkLast = 299;
constexpr int kNoStatus = -1;

HttpOutcome failed(int detail) {
    return HttpOutcome::Failed(HttpOutcome::kCodeSocketFailure, detail, kTextProxyConnect);
}

bool endsWithHeaderEnd(const std::string& answer) {
    return answer.size() >= kHeaderEnd.size() &&
           answer.compare(answer.size() - kHeaderEnd.size(), kHeaderEnd.size(), kHeaderEnd) == 0;
}

} // namespace

ProxyTunnel::ProxyTunnel(ExchangeSocket& socket, int receiveTimeoutMs, int sendTimeoutMs)
    : m_socket(socket), m_receiveTimeoutMs(receiveTimeoutMs), m_sendTimeoutMs(sendTimeoutMs) {
}

HttpOutcome ProxyTunnel::Open(const std::string& origin) {
    const std::string pieces[] = {"CONNECT " + origin + std::string(kHttpVersion),
                                  "Host: " + origin + std::string(kLineEnd) +
                                      std::string(kLineEnd)};
    for (const std::string& piece : pieces) {
        const HttpOutcome sent = m_socket.SendAll(piece, m_sendTimeoutMs);
        if (!sent.IsDone()) {
            return sent;
        }
    }
    std::string answer;
    while (answer.size() < kMaxAnswer && !endsWithHeaderEnd(answer)) {
        char byte = 0;
        std::size_t got = 0;
        short waitFor = POLLIN;
        int error = 0;
        const ExchangeSocket::IoResult result = m_socket.ReadNow(&byte, 1, got, waitFor, error);
        if (result == ExchangeSocket::IoResult::Done) {
            answer.push_back(byte);
            continue;
        }
        if (result != ExchangeSocket::IoResult::Wait) {
            return failed(result == ExchangeSocket::IoResult::Closed ? ECONNRESET : error);
        }
        const ExchangeSocket::WaitResult wait = m_socket.Wait(waitFor, m_receiveTimeoutMs);
        if (wait == ExchangeSocket::WaitResult::Cancelled) {
            return HttpOutcome::Stopped();
        }
        if (wait != ExchangeSocket::WaitResult::Ready) {
            return failed(wait == ExchangeSocket::WaitResult::TimedOut ? ETIMEDOUT : errno);
        }
    }
    const int status = StatusCode(answer);
    if (status < kStatusOkFirst || status > kStatusOkLast) {
        return failed(status);
    }
    return HttpOutcome::Done();
}

int ProxyTunnel::StatusCode(std::string_view answer) {
    const std::size_t space = answer.find(' ');
    if (answer.substr(0, kStatusLineStart.size()) != kStatusLineStart ||
        space == std::string_view::npos) {
        return kNoStatus;
    }
    return static_cast<int>(HttpRequest::LeadingDecimalValue(answer.substr(space + 1)));
}
