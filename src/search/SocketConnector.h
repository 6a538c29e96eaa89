#pragma once

#include "search/ExchangeSocket.h"
#include "search/HostResolver.h"
#include "search/HttpOutcome.h"

#include <string>

// Opens the TCP connection of an exchange, over IPv6 or IPv4: creates the first socket, sets its
// options (a reset instead of a lingering close, the receive and send limits) and binds it, then
// resolves the host to the addresses of both families and races connections to them
// (ConnectionRace) without blocking, so connecting ends at the time limit or at once on a
// cancel. Every socket of the race gets the same options as the first.
class SocketConnector {
  public:
    // socket must outlive the connector.
    SocketConnector(ExchangeSocket& socket, int receiveTimeoutMs, int sendTimeoutMs);

    // Where Connect looks hosts up; the system's resolver unless set.
    void SetResolver(HostResolver resolver);

    // Creates the first socket (IPv4, the family every system has). Whether that worked is
    // told by Configure, so the owner can send its notice of the new socket in between.
    void Create();
    // Checks the socket created, sets its options and binds it to any local address.
    HttpOutcome Configure();
    // Resolves host (and when that fails reads dottedFallback, unless empty, as a dotted IPv4
    // address), then connects to port at the first address that answers, waiting at most the
    // send limit in all.
    HttpOutcome Connect(const std::string& host, const std::string& dottedFallback, int port);

  private:
    // Sets the options of descriptor and binds it to any local address of family.
    HttpOutcome SetUp(int descriptor, int family) const;
    // The addresses of host, each with port; empty with a failure when there are none.
    HttpOutcome Resolve(const std::string& host, const std::string& dottedFallback, int port,
                        std::vector<sockaddr_storage>& addresses) const;

    ExchangeSocket& m_socket;
    int m_receiveTimeoutMs;
    int m_sendTimeoutMs;
    HostResolver m_resolver;
};
