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

// How the fixture server answers one request. The defaults send bytes at once and then close.
struct FixtureReply {
    // What happens after the answer has been sent.
    enum class Ending {
        Close,    // half-close, keep reading what the client still sends, close when it does
        KeepOpen, // never close: hold the connection until the client closes or the server stops
        Reset     // close with a reset (SO_LINGER 0) once resetAfter bytes have been sent
    };

    std::string bytes;
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
};

// An HTTP server on 127.0.0.1 for tests, on a free port, serving each connection on its own
// thread. It reads a request up to its blank line (and a Content-length body after it), calls
// the handler with those bytes, and answers as the returned FixtureReply says. Every byte that
// arrives on a connection is recorded, also bytes that come after the request (such as the line
// ends after a POST body).
//
// The handler may be called from several connection threads at once. Every wait of the server
// (reading, sending, delays, stalls) ends when the server stops; the destructor stops it and
// joins every thread.
class FixtureServer {
  public:
    using Handler = std::function<FixtureReply(const std::string& request)>;

    explicit FixtureServer(Handler handler);
    ~FixtureServer();
    FixtureServer(const FixtureServer&) = delete;
    FixtureServer& operator=(const FixtureServer&) = delete;

    // False when the listening socket could not be set up; Port() is 0 then.
    bool Listening() const;
    uint16_t Port() const;
    // "http://127.0.0.1:<port>" followed by path.
    std::string Url(std::string_view path = "/") const;

    // While on, connections are closed as soon as they are accepted, without reading or
    // answering (and the handler is not called).
    void SetCloseAtOnce(bool on);

    // The bytes received on each connection so far, in the order the connections came.
    std::vector<std::string> Requests() const;
    // Waits until at least count connections have ended (closed by either side), at most
    // limit; then returns Requests().
    std::vector<std::string> WaitForRequests(std::size_t count,
                                             std::chrono::milliseconds limit) const;

    // Closes every connection and joins every thread; later calls do nothing.
    void Stop();

  private:
    struct Connection {
        std::string received;
        bool ended = false;
    };

    // What ended a read of the connection.
    enum class ReadResult {
        Data,   // bytes were appended to the record
        Closed, // the client closed or reset the connection
        Stopped // the server is stopping
    };

    void Listen();
    void Serve(int fd, std::size_t index);
    // Reads until the request is complete. Returns false when the connection ended first.
    bool ReadRequest(int fd, std::size_t index, std::string& request);
    ReadResult ReadSome(int fd, std::size_t index, std::string* into);
    // Records the bytes that have already arrived, without waiting for more.
    void RecordAvailable(int fd, std::size_t index);
    // Reads (recording) until the client closes or the server stops.
    void Drain(int fd, std::size_t index);
    // Sends bytes as reply says. Returns false when the connection ended first.
    bool SendReply(int fd, std::string_view bytes, const FixtureReply& reply);
    // Sends the repeated part and the tail of reply.
    bool SendRepeated(int fd, const FixtureReply& reply);
    bool SendAll(int fd, std::string_view bytes);
    // Waits for the server's stop at most duration. Returns false when it stopped.
    bool Pause(std::chrono::milliseconds duration) const;
    void MarkEnded(std::size_t index);

    Handler m_handler;
    int m_listenFd = -1;
    // Readable once the server stops; polled by every wait.
    int m_stopFd = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_closeAtOnce{false};
    std::atomic<bool> m_stopping{false};

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<Connection> m_connections;

    // Joins the threads of connections that have ended, so a server that sees thousands of
    // connections holds the threads (and stacks) of the open ones only.
    void JoinEnded();

    std::thread m_listener;
    // The connection index each serves, and its thread. Touched by the listener thread only,
    // until Stop has joined it.
    std::vector<std::pair<std::size_t, std::thread>> m_workers;
};
