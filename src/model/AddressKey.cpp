#include "model/AddressKey.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

struct DefaultPort {
    std::string_view scheme;
    std::string_view port;
};

const std::array<DefaultPort, 2> kDefaultPorts = {{
    {"http", "80"},
    {"https", "443"},
}};

constexpr std::string_view kSchemeEnd = "://";

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

void appendLower(std::string& out, std::string_view text) {
    for (char c : text) {
        out += lowerAscii(c);
    }
}

// A scheme is a letter followed by letters, digits, "+", "-" or ".".
bool isScheme(std::string_view text) {
    const auto isLetter = [](char c) { return lowerAscii(c) >= 'a' && lowerAscii(c) <= 'z'; };
    if (text.empty() || !isLetter(text.front())) {
        return false;
    }
    return std::all_of(text.begin(), text.end(), [&isLetter](char c) {
        return isLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    });
}

bool isDefaultPort(std::string_view scheme, std::string_view port) {
    return std::any_of(kDefaultPorts.begin(), kDefaultPorts.end(), [&](const DefaultPort& known) {
        return known.scheme == scheme && known.port == port;
    });
}

} // namespace

std::string AddressKey::Normalise(std::string_view address) {
    address = address.substr(0, address.find('#'));
    const std::size_t schemeEnd = address.find(kSchemeEnd);
    if (schemeEnd == std::string_view::npos || !isScheme(address.substr(0, schemeEnd))) {
        return std::string(address);
    }
    std::string key;
    key.reserve(address.size() + 1);
    appendLower(key, address.substr(0, schemeEnd));
    const std::string scheme = key;
    key += kSchemeEnd;

    const std::size_t authorityStart = schemeEnd + kSchemeEnd.size();
    const std::size_t pathStart =
        std::min(address.find_first_of("/?", authorityStart), address.size());
    std::string_view authority = address.substr(authorityStart, pathStart - authorityStart);
    // The user part is kept as written; the host starts after its "@".
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        key += authority.substr(0, at + 1);
        authority.remove_prefix(at + 1);
    }
    // A port follows the last ":" unless that ":" is inside an IPv6 literal ("[::1]").
    std::string_view host = authority;
    std::string_view port;
    bool hasPort = false;
    const std::size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
        hasPort = true;
    }
    appendLower(key, host);
    if (hasPort && !isDefaultPort(scheme, port)) {
        key += ':';
        key += port;
    }

    const std::string_view rest = address.substr(pathStart);
    if (rest.empty() || rest.front() != '/') {
        key += '/';
    }
    key += rest;
    return key;
}
