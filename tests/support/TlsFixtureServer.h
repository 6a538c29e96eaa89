#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct ssl_ctx_st;

// An HTTPS origin on 127.0.0.1 for tests: it serves one connection at a time with the given
// certificate, reads a request up to its blank line, answers with fixed bytes and closes. It
// records each request and the server name the client sent (SNI).
class TlsFixtureServer {
  public:
    TlsFixtureServer(const std::string& certificateFile, const std::string& keyFile,
                     std::string answer);
    ~TlsFixtureServer();
    TlsFixtureServer(const TlsFixtureServer&) = delete;
    TlsFixtureServer& operator=(const TlsFixtureServer&) = delete;

    bool Listening() const;
    uint16_t Port() const;
    std::vector<std::string> Requests() const;
    std::vector<std::string> ServerNames() const;

  private:
    void Serve();
    void ServeOne(int fd);

    ssl_ctx_st* m_context = nullptr;
    std::string m_answer;
    int m_listenFd = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::vector<std::string> m_serverNames;
    std::thread m_thread;
};
