#pragma once

#include "search/ExchangeSocket.h"
#include "search/HttpOutcome.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <poll.h>
#include <sys/socket.h>
#include <vector>

// Connects to the first of a host's addresses that answers, by Happy Eyeballs (RFC 8305): the
// attempts start one after another in the order of AttemptOrder, the next one kAttemptDelay
// after the last began while none has connected yet, or at once when an attempt has failed. The
// first connection wins and is adopted by the exchange's socket; every other attempt is closed. The
// whole race ends at the time limit, and at once on a cancel.
class ConnectionRace {
  public:
    // RFC 8305's Connection Attempt Delay.
    static constexpr std::chrono::milliseconds kAttemptDelay{250};

    // Makes the socket of one attempt for an address of family (created, options set, bound)
    // into descriptor, or fails with the step's text.
    using SocketMaker = std::function<HttpOutcome(int family, int& descriptor)>;

    // socket must outlive the race; it receives the winning connection. timeoutMs 0 or less:
    // no limit.
    ConnectionRace(ExchangeSocket& socket, SocketMaker maker, int timeoutMs);
    ~ConnectionRace();
    ConnectionRace(const ConnectionRace&) = delete;
    ConnectionRace& operator=(const ConnectionRace&) = delete;

    // Races addresses (each with its port set). When every attempt fails: the last failure
    // ("Error: connect()" with its error, or the failure of making a socket); at the time
    // limit: "Error: connect()" with ETIMEDOUT.
    HttpOutcome Run(const std::vector<sockaddr_storage>& addresses);

    // The order of the attempts: the first address, then the two families in turn, each
    // family's addresses in the order given.
    static std::vector<sockaddr_storage> AttemptOrder(const std::vector<sockaddr_storage>& found);

  private:
    // Starts the attempt at address: Done once it connected at once (and won) or is pending.
    HttpOutcome Start(const sockaddr_storage& address);
    // Looks at the attempts a wait found ready: true when one of them connected and won.
    bool Settle(std::vector<pollfd>& ready, HttpOutcome& lastFailure);
    void Win(int descriptor);
    void ClosePending();

    ExchangeSocket& m_socket;
    SocketMaker m_maker;
    int m_timeoutMs;
    // Attempts started and neither connected nor failed yet.
    std::vector<int> m_pending;
    bool m_won = false;
};
