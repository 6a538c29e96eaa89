#pragma once

#include "search/ExchangeSocket.h"
#include "search/HttpOutcome.h"

#include <string>

// Opens the TCP connection of an exchange over IPv4: creates the socket, sets its options
// (a reset instead of a lingering close, the receive and send limits) and binds it, then
// resolves the host and connects without blocking, so the connect ends at the time limit or at
// once on a cancel.
class SocketConnector {
  public:
    // socket must outlive the connector.
    SocketConnector(ExchangeSocket& socket, int receiveTimeoutMs, int sendTimeoutMs);

    // Creates the socket. Whether that worked is told by Configure, so the owner can send its
    // notice of the new socket in between.
    void Create();
    // Checks the socket created, sets its options and binds it to any local address.
    HttpOutcome Configure();
    // Resolves host (and when that fails reads dottedFallback, unless empty, as an address),
    // then connects to port, waiting at most the send limit.
    HttpOutcome Connect(const std::string& host, const std::string& dottedFallback, int port);

  private:
    ExchangeSocket& m_socket;
    int m_receiveTimeoutMs;
    int m_sendTimeoutMs;
};
