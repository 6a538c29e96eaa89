#pragma once

#include <string>
#include <vector>

// A real server program (nginx, tinyproxy) started for one test on a free loopback port and
// stopped by its process id when the object goes.
class SpawnedServer {
  public:
    SpawnedServer() = default;
    ~SpawnedServer();
    SpawnedServer(const SpawnedServer&) = delete;
    SpawnedServer& operator=(const SpawnedServer&) = delete;

    // Runs program with arguments and waits until 127.0.0.1:port accepts connections.
    // False (with the reason in Error()) when the program is missing or never listens.
    bool Start(const std::string& program, const std::vector<std::string>& arguments, int port);
    void Stop();
    const std::string& Error() const;

    // A loopback port nothing listens on right now.
    static int FreePort();
    // The first of the candidates that exists as an executable file, or empty.
    static std::string FindProgram(const std::vector<std::string>& candidates);

  private:
    int m_pid = -1;
    std::string m_error;
};
