#pragma once

#include "support/SpawnedServer.h"
#include "support/TempDir.h"

#include <string>

// nginx serving a folder of files on a loopback port, as a real origin server.
class NginxOrigin {
  public:
    // Writes the configuration into a folder of its own and starts nginx in the foreground.
    bool Start(const std::string& documentRoot);
    int Port() const;
    const std::string& Error() const;

  private:
    TempDir m_dir;
    SpawnedServer m_server;
    int m_port = 0;
};

// tinyproxy on a loopback port, as a real HTTP proxy that reaches loopback origins.
class TinyProxy {
  public:
    bool Start();
    int Port() const;
    const std::string& Error() const;

  private:
    TempDir m_dir;
    SpawnedServer m_server;
    int m_port = 0;
};
