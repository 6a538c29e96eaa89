#pragma once

#include "support/TempDir.h"

#include <string>
#include <vector>

// A real server program started for one test on a free loopback port, with its files in a
// folder of its own, and stopped (with its whole process group) when the object goes.
class RealPeer {
  public:
    RealPeer();
    ~RealPeer();
    RealPeer(const RealPeer&) = delete;
    RealPeer& operator=(const RealPeer&) = delete;

    int Port() const;
    // Why the start failed: the program is missing, ended or never listened.
    const std::string& Error() const;

  protected:
    // Writes config as the configuration file, with "$DIR$" and "$PORT$" in it replaced by the
    // folder and the port, runs the first of programs that exists with
    // arguments and waits until 127.0.0.1:Port() accepts connections.
    bool Launch(const std::vector<std::string>& programs, const std::string& config,
                const std::vector<std::string>& arguments);
    std::string ConfigFile() const;

    TempDir m_dir;

  private:
    void Stop();

    int m_port = 0;
    int m_pid = -1;
    std::string m_error;
};

// nginx serving a folder of files, as a real origin server.
class NginxOrigin : public RealPeer {
  public:
    bool Start(const std::string& documentRoot);
};

// tinyproxy, as a real HTTP proxy that reaches loopback origins.
class TinyProxy : public RealPeer {
  public:
    bool Start();
};
