#pragma once

#include "search/HttpOutcome.h"
#include "search/TlsSession.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

struct pollfd;

// The socket of one HTTP exchange, the TLS session over it once started, and the cancellation
// that ends every wait on it: a wake descriptor, polled beside the socket, becomes readable when
// Cancel is called, so a wait for connecting, sending or receiving returns at once.
//
// Only Cancel and Cancelled may be called from another thread; everything else runs on the
// thread of the exchange.
class ExchangeSocket {
  public:
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

    ExchangeSocket();
    ~ExchangeSocket();
    ExchangeSocket(const ExchangeSocket&) = delete;
    ExchangeSocket& operator=(const ExchangeSocket&) = delete;

    // Marks the exchange cancelled and wakes any wait. Stays cancelled.
    void Cancel();
    bool Cancelled() const;

    // Takes descriptor (which may be -1 when creating it failed) as the exchange's socket.
    void Adopt(int descriptor);
    int Descriptor() const;
    // Ends the TLS session without a closing alert and closes the socket, if open.
    void Close();

    // Waits until the socket is ready for events, at most timeoutMs (0 or less: no limit).
    WaitResult Wait(short events, int timeoutMs);
    // The same for other sockets (connection attempts not yet adopted): waits until one of
    // sockets is ready, then their revents say which.
    WaitResult WaitAny(pollfd* sockets, std::size_t count, int timeoutMs);
    // One read or write without waiting, over TLS once it is started. On Wait, waitFor says
    // which direction to wait for; on Failed, error is the system's or TLS's error number.
    IoResult ReadNow(char* into, std::size_t size, std::size_t& got, short& waitFor, int& error);
    IoResult WriteNow(std::string_view bytes, std::size_t& sent, short& waitFor, int& error);
    // Sends all of bytes, waiting at most timeoutMs for room each time.
    HttpOutcome SendAll(std::string_view bytes, int timeoutMs);
    // The TLS handshake with host over the connected socket, each wait at most timeoutMs.
    HttpOutcome StartTls(const std::string& host, int timeoutMs);

  private:
    // Polls fds, whose last entry is the wake descriptor, until one is ready, the cancel or
    // timeoutMs (0 or less: no limit).
    WaitResult PollWithWake(pollfd* fds, std::size_t total, int timeoutMs);
    IoResult FromTls(TlsSession::Result result, short& waitFor, int& error);

    std::atomic<bool> m_cancelled{false};
    // Lives as long as the object, so Cancel never touches a closed descriptor.
    int m_wakeFd = -1;
    int m_socket = -1;
    std::unique_ptr<TlsSession> m_session;
};
