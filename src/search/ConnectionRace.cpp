#include "search/ConnectionRace.h"

#include "search/HostResolver.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::string_view kTextConnect = "Error: connect()";
// A wait without its own limit, as ExchangeSocket reads it.
constexpr int kNoLimit = 0;
constexpr int kShortestWaitMs = 1;

HttpOutcome connectFailed(int detail) {
    return HttpOutcome::Failed(HttpOutcome::kCodeSocketFailure, detail, kTextConnect);
}

} // namespace

ConnectionRace::ConnectionRace(ExchangeSocket& socket, SocketMaker maker, int timeoutMs)
    : m_socket(socket), m_maker(std::move(maker)), m_timeoutMs(timeoutMs) {
}

ConnectionRace::~ConnectionRace() {
    ClosePending();
}

HttpOutcome ConnectionRace::Run(const std::vector<sockaddr_storage>& addresses) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point begun = Clock::now();
    const bool limited = m_timeoutMs > 0;
    const Clock::time_point deadline = begun + std::chrono::milliseconds(m_timeoutMs);
    const std::vector<sockaddr_storage> order = AttemptOrder(addresses);
    std::size_t next = 0;
    Clock::time_point nextStart = begun;
    HttpOutcome lastFailure = connectFailed(EHOSTUNREACH);
    for (;;) {
        if (m_socket.Cancelled()) {
            ClosePending();
            return HttpOutcome::Stopped();
        }
        const Clock::time_point now = Clock::now();
        if (limited && now >= deadline) {
            ClosePending();
            return connectFailed(ETIMEDOUT);
        }
        const bool more = next < order.size();
        if (more && (m_pending.empty() || now >= nextStart)) {
            const HttpOutcome started = Start(order[next]);
            ++next;
            // A failed attempt makes way for the next one at once.
            nextStart = started.IsDone() ? now + kAttemptDelay : now;
            if (m_won) {
                return HttpOutcome::Done();
            }
            if (!started.IsDone()) {
                lastFailure = started;
            }
            continue;
        }
        if (m_pending.empty()) {
            return lastFailure;
        }
        // Wait for an attempt to end, at most until the next attempt is due or the time is up.
        Clock::time_point until = Clock::time_point::max();
        if (more) {
            until = nextStart;
        }
        if (limited) {
            until = std::min(until, deadline);
        }
        int waitMs = kNoLimit;
        if (until != Clock::time_point::max()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
            waitMs = std::max(kShortestWaitMs, static_cast<int>(left));
        }
        std::vector<pollfd> attempts;
        for (const int descriptor : m_pending) {
            attempts.push_back(pollfd{descriptor, POLLOUT, 0});
        }
        const ExchangeSocket::WaitResult wait =
            m_socket.WaitAny(attempts.data(), attempts.size(), waitMs);
        if (wait == ExchangeSocket::WaitResult::Cancelled) {
            ClosePending();
            return HttpOutcome::Stopped();
        }
        if (wait == ExchangeSocket::WaitResult::Failed) {
            const int error = errno;
            ClosePending();
            return connectFailed(error);
        }
        if (wait != ExchangeSocket::WaitResult::Ready) {
            continue;
        }
        const std::size_t running = m_pending.size();
        if (Settle(attempts, lastFailure)) {
            return HttpOutcome::Done();
        }
        if (m_pending.size() < running) {
            nextStart = Clock::now();
        }
    }
}

std::vector<sockaddr_storage>
ConnectionRace::AttemptOrder(const std::vector<sockaddr_storage>& found) {
    if (found.empty()) {
        return {};
    }
    const sa_family_t first = found.front().ss_family;
    std::vector<sockaddr_storage> preferred;
    std::vector<sockaddr_storage> other;
    for (const sockaddr_storage& address : found) {
        if (address.ss_family == first) {
            preferred.push_back(address);
        } else {
            other.push_back(address);
        }
    }
    std::vector<sockaddr_storage> order;
    for (std::size_t i = 0; i < std::max(preferred.size(), other.size()); ++i) {
        if (i < preferred.size()) {
            order.push_back(preferred[i]);
        }
        if (i < other.size()) {
            order.push_back(other[i]);
        }
    }
    return order;
}

HttpOutcome ConnectionRace::Start(const sockaddr_storage& address) {
    int descriptor = -1;
    const HttpOutcome made = m_maker(address.ss_family, descriptor);
    if (!made.IsDone()) {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
        return made;
    }
    // Every wait from here on polls the attempts together with the wake descriptor.
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(descriptor);
        return connectFailed(error);
    }
    const socklen_t length = HostResolver::AddressLength(address);
    if (::connect(descriptor, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
        Win(descriptor);
        return HttpOutcome::Done();
    }
    if (errno != EINPROGRESS && errno != EINTR) {
        const int error = errno;
        ::close(descriptor);
        return connectFailed(error);
    }
    m_pending.push_back(descriptor);
    return HttpOutcome::Done();
}

bool ConnectionRace::Settle(std::vector<pollfd>& ready, HttpOutcome& lastFailure) {
    for (const pollfd& attempt : ready) {
        if (attempt.revents == 0) {
            continue;
        }
        int pending = 0;
        socklen_t pendingSize = sizeof pending;
        if (::getsockopt(attempt.fd, SOL_SOCKET, SO_ERROR, &pending, &pendingSize) != 0) {
            pending = errno;
        }
        if (pending == 0) {
            Win(attempt.fd);
            return true;
        }
        lastFailure = connectFailed(pending);
        m_pending.erase(std::find(m_pending.begin(), m_pending.end(), attempt.fd));
        ::close(attempt.fd);
    }
    return false;
}

void ConnectionRace::Win(int descriptor) {
    m_pending.erase(std::remove(m_pending.begin(), m_pending.end(), descriptor), m_pending.end());
    ClosePending();
    m_socket.Adopt(descriptor);
    m_won = true;
}

void ConnectionRace::ClosePending() {
    for (const int descriptor : m_pending) {
        ::close(descriptor);
    }
    m_pending.clear();
}
