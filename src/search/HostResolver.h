#pragma once

#include <functional>
#include <string>
#include <sys/socket.h>
#include <vector>

// Turns a host name or an address literal into the addresses to connect to, of both families
// (IPv6 and IPv4), in the order the system prefers them. The lookup is a function object, so
// tests can give a name any addresses; the default asks the system's resolver (getaddrinfo).
class HostResolver {
  public:
    // What a lookup found. Without addresses, error says why: getaddrinfo's code, or errno
    // when that code is EAI_SYSTEM.
    struct Answer {
        std::vector<sockaddr_storage> addresses;
        int error = 0;
    };
    using Lookup = std::function<Answer(const std::string& host)>;

    // Looks hosts up with the system's resolver.
    HostResolver();
    explicit HostResolver(Lookup lookup);

    // An IPv4 or IPv6 address (without brackets) is its own answer; a name goes to the lookup.
    Answer Resolve(const std::string& host) const;

    // The system's resolver, asked for stream addresses of both families.
    static Answer SystemLookup(const std::string& host);
    // An IPv4 or IPv6 address literal (without brackets) as an address, port 0; false when
    // text is none.
    static bool ParseLiteral(const std::string& text, sockaddr_storage& address);
    // The length of the family's socket address; 0 for a family other than IPv4 and IPv6.
    static socklen_t AddressLength(const sockaddr_storage& address);

  private:
    Lookup m_lookup;
};
