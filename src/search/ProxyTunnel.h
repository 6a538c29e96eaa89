#pragma once

#include "search/ExchangeSocket.h"
#include "search/HttpOutcome.h"

#include <string>
#include <string_view>

// Asks an HTTP proxy, over a connected socket, for a tunnel to an origin: sends CONNECT and
// reads the proxy's answer up to its blank line, a byte at a time so none of the tunnel's own
// bytes is taken. A status other than 2xx fails with the status as the detail.
class ProxyTunnel {
  public:
    // socket must outlive the tunnel.
    ProxyTunnel(ExchangeSocket& socket, int receiveTimeoutMs, int sendTimeoutMs);

    // origin is "host:port".
    HttpOutcome Open(const std::string& origin);

    // The status code of a status line "HTTP/x.y NNN ..."; -1 when there is none.
    static int StatusCode(std::string_view answer);

  private:
    ExchangeSocket& m_socket;
    int m_receiveTimeoutMs;
    int m_sendTimeoutMs;
};
