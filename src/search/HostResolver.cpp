#include "search/HostResolver.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <utility>

HostResolver::HostResolver() : m_lookup(&HostResolver::SystemLookup) {
}

HostResolver::HostResolver(Lookup lookup) : m_lookup(std::move(lookup)) {
}

HostResolver::Answer HostResolver::Resolve(const std::string& host) const {
    // An address needs no lookup, whichever lookup is set.
    sockaddr_storage literal{};
    if (ParseLiteral(host, literal)) {
        Answer answer;
        answer.addresses.push_back(literal);
        return answer;
    }
    return m_lookup(host);
}

HostResolver::Answer HostResolver::SystemLookup(const std::string& host) {
    addrinfo hints{};
    // Both families, in the resolver's order of preference (RFC 6724); no AI_ADDRCONFIG, which
    // would hide the loopback addresses on a machine without another interface.
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    errno = 0;
    const int lookup = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    const int lookupErrno = errno;
    Answer answer;
    if (lookup != 0) {
        answer.error = lookup == EAI_SYSTEM ? lookupErrno : lookup;
        return answer;
    }
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        sockaddr_storage address{};
        const bool known = entry->ai_family == AF_INET || entry->ai_family == AF_INET6;
        if (!known || entry->ai_addrlen > sizeof address) {
            continue;
        }
        std::memcpy(&address, entry->ai_addr, entry->ai_addrlen);
        answer.addresses.push_back(address);
    }
    ::freeaddrinfo(found);
    if (answer.addresses.empty()) {
        answer.error = EAI_NONAME;
    }
    return answer;
}

bool HostResolver::ParseLiteral(const std::string& text, sockaddr_storage& address) {
    address = sockaddr_storage{};
    auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
    if (::inet_pton(AF_INET, text.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        return true;
    }
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
    if (::inet_pton(AF_INET6, text.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        return true;
    }
    return false;
}

socklen_t HostResolver::AddressLength(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET) {
        return sizeof(sockaddr_in);
    }
    if (address.ss_family == AF_INET6) {
        return sizeof(sockaddr_in6);
    }
    return 0;
}
