#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

struct ssl_ctx_st;
struct ssl_st;

// How the fixture server answers one request. The defaults send bytes at once and then close.
struct FixtureReply {
    // What happens after the answer has been sent.
    enum class Ending {
        Close,    // half-close, keep reading what the client still sends, close when it does
        KeepOpen, // never close: hold the connection until the client closes or the server stops
        Reset     // close with a reset (SO_LINGER 0) once resetAfter bytes have been sent
    };

    std::string bytes{};
    // Wait before sending anything.
    std::chrono::milliseconds delay{0};
    // Send in chunks of this many bytes (0: all at once), waiting chunkDelay between them.
    std::size_t chunkSize = 0;
    std::chrono::milliseconds chunkDelay{0};
    // Never answer: hold the connection open (reading) until the client closes or the server
    // stops.
    bool stall = false;
    Ending ending = Ending::Close;
    // With Ending::Reset: how many bytes of bytes go out before the reset.
    std::size_t resetAfter = 0;
    // After bytes (not with Ending::Reset): repeated, repeatCount times, then tail. Serves an
    // answer of hundreds of megabytes without holding it.
    std::string repeated{};
    std::size_t repeatCount = 0;
    std::string tail{};
    // When not empty: send bytes in pieces of these sizes in turn, starting over at the end of
    // the list (instead of chunkSize), waiting chunkDelay between them.
    std::vector<std::size_t> pieces{};
    // When set: called on the connection's thread each time a piece has gone out whole, with
    // how many bytes of bytes have gone out so far (a benchmark's clock for when bytes left).
    std::function<void(std::size_t sent)> onSent{};
};

// An HTTP or HTTPS server on 127.0.0.1 (or ::1) for tests and fuzzers, on a free port, serving each
// connection on its own thread. It reads a request up to its blank line (and a Content-length
// body after it), calls the handler with those bytes, and answers as the returned FixtureReply
// says. Every byte that arrives on a connection is recorded, also bytes that come after the
// request (such as the line ends after a POST body). With TLS it records the server name each
// client sent.
//
// The handler may be called from several connection threads at once. Every wait of the server
// (reading, sending, delays, stalls) ends when the server stops; the destructor stops it and
// joins every thread.
class FixtureServer {
  public:
    using Handler = std::function<FixtureReply(const std::string& request)>;
    // The PEM files an HTTPS server presents.
    struct Tls {
        std::string certificateFile;
        std::string keyFile;
    };

    // The loopback address listened on.
    enum class Loopback { Ipv4, Ipv6 };

    explicit FixtureServer(Handler handler);
    // With Loopback::Ipv6 Listening() is false on a machine without ::1.
    FixtureServer(Handler handler, const Tls& tls, Loopback loopback = Loopback::Ipv4);
    ~FixtureServer();
    FixtureServer(const FixtureServer&) = delete;
    FixtureServer& operator=(const FixtureServer&) = delete;

    // A handler that answers every request with bytes, or as reply says.
    static Handler Answering(std::string bytes);
    static Handler Answering(FixtureReply reply);

    // False when the listening socket (or the TLS context) could not be set up.
    bool Listening() const;
    uint16_t Port() const;
    // "http://127.0.0.1:<port>" ("http://[::1]:<port>" on ::1; https with TLS) followed by
    // path.
    std::string Url(std::string_view path = "/") const;

    // While on, connections are closed as soon as they are accepted, without reading or
    // answering (and the handler is not called).
    void SetCloseAtOnce(bool on);
    // While off, the bytes that arrive are not kept (a fuzzer's millions of connections).
    void SetRecording(bool on);

    // The bytes received on each connection so far, in the order the connections came.
    std::vector<std::string> Requests() const;
    // Waits until at least count connections have ended (closed by either side), at most
    // limit; then returns Requests().
    std::vector<std::string> WaitForRequests(std::size_t count,
                                             std::chrono::milliseconds limit) const;
    // With TLS: the server name (SNI) of each completed handshake, "" where none was sent.
    std::vector<std::string> ServerNames() const;

    // Closes every connection and joins every thread; later calls do nothing.
    void Stop();

  private:
    struct Connection {
        std::string received;
        bool ended = false;
        bool secured = false;
        std::string serverName;
    };
    // One accepted connection as its thread sees it.
    struct Link {
        int fd;
        std::size_t index;
        ssl_st* ssl;
    };

    void Listen();
    void Serve(int fd, std::size_t index);
    void Answer(Link& link);
    bool Handshake(Link& link);
    // Reads until the request is complete. Returns false when the connection ended first.
    bool ReadRequest(Link& link, std::string& request);
    // Reads what arrives and records it: the count, or 0 when the connection ended, the server
    // stopped, or (without wait) nothing was there yet.
    std::size_t Receive(Link& link, std::string* into, bool wait);
    // Reads (recording) until the client closes or the server stops.
    void Drain(Link& link);
    // Sends bytes in the pieces reply says. Returns false when the connection ended first.
    bool SendReply(Link& link, std::string_view bytes, const FixtureReply& reply);
    bool SendAll(Link& link, std::string_view bytes);
    // Waits until fd has events or the server stops. Returns false when it stopped.
    bool WaitFor(int fd, short events) const;
    // Waits for the server's stop at most duration. Returns false when it stopped.
    bool Pause(std::chrono::milliseconds duration) const;
    void MarkEnded(std::size_t index);
    // Joins the threads of connections that have ended, so a server that sees thousands of
    // connections holds the threads (and stacks) of the open ones only.
    void JoinEnded();

    Handler m_handler;
    ssl_ctx_st* m_tls = nullptr;
    int m_listenFd = -1;
    // Readable once the server stops; polled by every wait.
    int m_stopFd = -1;
    uint16_t m_port = 0;
    Loopback m_loopback = Loopback::Ipv4;
    std::atomic<bool> m_closeAtOnce{false};
    std::atomic<bool> m_recording{true};
    std::atomic<bool> m_stopping{false};

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<Connection> m_connections;

    std::thread m_listener;
    // The connection index each serves, and its thread. Touched by the listener thread only,
    // until Stop has joined it.
    std::vector<std::pair<std::size_t, std::thread>> m_workers;
};
