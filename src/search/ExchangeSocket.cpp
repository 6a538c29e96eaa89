#include "search/ExchangeSocket.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <iterator>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::string_view kTextSend = "Error: send()";
constexpr std::string_view kTextTlsHandshake = "Error: TLS handshake.";
constexpr std::string_view kTextTlsCertificate = "Error: TLS certificate.";

constexpr int kWaitWithoutLimit = -1;
constexpr uint64_t kWakeIncrement = 1;

} // namespace

ExchangeSocket::ExchangeSocket() {
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

ExchangeSocket::~ExchangeSocket() {
    Close();
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
    }
}

void ExchangeSocket::Cancel() {
    m_cancelled.store(true);
    if (m_wakeFd >= 0) {
        const uint64_t increment = kWakeIncrement;
        // A full counter is already readable, so a failed write changes nothing.
        [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &increment, sizeof increment);
    }
}

bool ExchangeSocket::Cancelled() const {
    return m_cancelled.load();
}

void ExchangeSocket::Adopt(int descriptor) {
    m_socket = descriptor;
}

int ExchangeSocket::Descriptor() const {
    return m_socket;
}

void ExchangeSocket::Close() {
    // The TLS connection is abandoned without a closing alert, as the socket is without a
    // graceful close.
    m_session.reset();
    if (m_socket >= 0) {
        ::close(m_socket);
        m_socket = -1;
    }
}

ExchangeSocket::WaitResult ExchangeSocket::Wait(short events, int timeoutMs) {
    pollfd fds[] = {{m_socket, events, 0}, {m_wakeFd, POLLIN, 0}};
    return PollWithWake(fds, std::size(fds), timeoutMs);
}

ExchangeSocket::WaitResult ExchangeSocket::WaitAny(pollfd* sockets, std::size_t count,
                                                   int timeoutMs) {
    std::vector<pollfd> fds(sockets, sockets + count);
    fds.push_back(pollfd{m_wakeFd, POLLIN, 0});
    const WaitResult result = PollWithWake(fds.data(), fds.size(), timeoutMs);
    for (std::size_t i = 0; i < count; ++i) {
        sockets[i].revents = fds[i].revents;
    }
    return result;
}

ExchangeSocket::WaitResult ExchangeSocket::PollWithWake(pollfd* fds, std::size_t total,
                                                        int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const bool limited = timeoutMs > 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const std::size_t wakeIndex = total - 1;
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
        const int ready = ::poll(fds, static_cast<nfds_t>(total), waitMs);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return WaitResult::Failed;
        }
        if (fds[wakeIndex].revents != 0 || m_cancelled.load()) {
            return WaitResult::Cancelled;
        }
        if (ready > 0) {
            return WaitResult::Ready;
        }
    }
}

ExchangeSocket::IoResult ExchangeSocket::WriteNow(std::string_view bytes, std::size_t& sent,
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

ExchangeSocket::IoResult ExchangeSocket::ReadNow(char* into, std::size_t size, std::size_t& got,
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

ExchangeSocket::IoResult ExchangeSocket::FromTls(TlsSession::Result result, short& waitFor,
                                                 int& error) {
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

HttpOutcome ExchangeSocket::SendAll(std::string_view bytes, int timeoutMs) {
    while (!bytes.empty()) {
        if (m_cancelled.load()) {
            return HttpOutcome::Stopped();
        }
        short waitFor = POLLOUT;
        std::size_t sent = 0;
        int error = 0;
        const IoResult result = WriteNow(bytes, sent, waitFor, error);
        if (result == IoResult::Done) {
            bytes.remove_prefix(sent);
            continue;
        }
        if (result != IoResult::Wait) {
            return HttpOutcome::Failed(HttpOutcome::kCodeSocketFailure, error, kTextSend);
        }
        const WaitResult wait = Wait(waitFor, timeoutMs);
        if (wait == WaitResult::Cancelled) {
            return HttpOutcome::Stopped();
        }
        if (wait == WaitResult::TimedOut) {
            return HttpOutcome::Failed(HttpOutcome::kCodeSocketFailure, ETIMEDOUT, kTextSend);
        }
        if (wait == WaitResult::Failed) {
            return HttpOutcome::Failed(HttpOutcome::kCodeSocketFailure, errno, kTextSend);
        }
    }
    return HttpOutcome::Done();
}

HttpOutcome ExchangeSocket::StartTls(const std::string& host, int timeoutMs) {
    m_session = std::make_unique<TlsSession>();
    if (!m_session->Attach(m_socket, host)) {
        return HttpOutcome::Failed(HttpOutcome::kCodeSocketFailure, HttpOutcome::kNoDetail,
                                   kTextTlsHandshake);
    }
    for (;;) {
        const TlsSession::Result result = m_session->Handshake();
        if (result == TlsSession::Result::Done) {
            return HttpOutcome::Done();
        }
        if (result == TlsSession::Result::Failed || result == TlsSession::Result::Closed) {
            const bool refused = m_session->CertificateRefused();
            return HttpOutcome::Failed(HttpOutcome::kCodeSocketFailure, m_session->FailureDetail(),
                                       refused ? kTextTlsCertificate : kTextTlsHandshake);
        }
        const short waitFor = result == TlsSession::Result::WantRead ? POLLIN : POLLOUT;
        const WaitResult wait = Wait(waitFor, timeoutMs);
        if (wait == WaitResult::Cancelled) {
            return HttpOutcome::Stopped();
        }
        if (wait != WaitResult::Ready) {
            return HttpOutcome::Failed(HttpOutcome::kCodeSocketFailure,
                                       wait == WaitResult::TimedOut ? ETIMEDOUT : errno,
                                       kTextTlsHandshake);
        }
    }
}
