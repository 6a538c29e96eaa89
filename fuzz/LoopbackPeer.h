#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The far end of the HTTP client's socket for fuzzing: a server on 127.0.0.1 that answers
// each connection with the bytes it was last given, sent in pieces of the given sizes, then
// closes (gracefully, or with a reset). It reads the request up to its blank line first, so a
// proxy's CONNECT answer and an origin's answer come at the moment a real peer sends them.
//
// One connection at a time; every wait is bounded, so a client that misbehaves costs time,
// never a hang.
class LoopbackPeer {
  public:
    LoopbackPeer();
    ~LoopbackPeer();
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    uint16_t Port() const;
    // What every connection accepted from now on gets. A connection of an earlier exchange
    // that is served late finds its client gone, which costs nothing.
    void Arm(std::string answer, std::vector<std::size_t> pieces, bool reset);

  private:
    void Run();
    void Serve(int fd);

    int m_listenFd = -1;
    int m_stopFd = -1;
    uint16_t m_port = 0;

    std::mutex m_mutex;
    std::string m_answer;
    std::vector<std::size_t> m_pieces;
    bool m_reset = false;

    std::thread m_thread;
};
