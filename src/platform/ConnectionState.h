#pragma once

// Whether the computer has a way to the network before a search starts. Linux has no single
// "connected" flag: the machine counts as connected when it has a default route or an up,
// running interface other than loopback with an address. The environment variable
// VANTORELL_CONNECTED ("1" or "0") overrides the check, for scripts and tests.
class ConnectionState {
  public:
    virtual ~ConnectionState();
    virtual bool IsConnected() const;

  private:
    static bool HasDefaultRoute();
    static bool HasUpInterface();
};
