#include "extract/AddressUnwrapper.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <utility>

namespace {

// Where a redirect keeps its target.
enum class TargetPlace {
    // The value of the first of the named query parameters that gives a valid target.
    QueryParameter,
    // The path text after the marker, up to the end marker, or up to the next "/" when the end
    // marker is missing, or to the end of the path.
    PathSegment,
};

enum class TargetEncoding {
    // %XX escapes (either case); "+" stays "+".
    Percent,
    // Base64 with the URL alphabet ("-" and "_"), padding optional.
    Base64Url,
};

constexpr std::size_t kMaxTargetNames = 2;

// One known redirect.
//   host:     the host is this name or ends in "." and this name, in any letter case; a
//             trailing ".*" stands for one top-level domain (see isNameUnderAnyTopLevel).
//   relative: an address without a host ("/url?...", on the engine's own site) matches too.
//   path:     the path exactly, or any path beginning with the text before a trailing "*".
//   names:    the query parameters to try in order (QueryParameter), or the marker where the
//             target begins (PathSegment, first entry).
//   end:      the marker where the target ends (PathSegment).
//   strip:    text in front of the encoded target that is not part of it.
struct Rule {
    std::string_view host;
    bool relative;
    std::string_view path;
    TargetPlace place;
    std::array<std::string_view, kMaxTargetNames> names;
    std::string_view end;
    std::string_view strip;
    TargetEncoding encoding;
};

// Short names for the table.
constexpr TargetPlace kQuery = TargetPlace::QueryParameter;
constexpr TargetPlace kPath = TargetPlace::PathSegment;
constexpr TargetEncoding kPercent = TargetEncoding::Percent;
constexpr TargetEncoding kBase64Url = TargetEncoding::Base64Url;

// clang-format off
const std::array<Rule, 5> kRules = {{
    // host            relative  path     place   names         end      strip  encoding
    {"duckduckgo.com", false,    "/l/",   kQuery, {"uddg"},     "",      "",    kPercent},
    {"yahoo.com",      false,    "/*",    kPath,  {"/RU="},     "/RK=",  "",    kPercent},
    {"search.aol.com", false,    "/*",    kPath,  {"/RU="},     "/RK=",  "",    kPercent},
    {"google.*",       true,     "/url",  kQuery, {"q", "url"}, "",      "",    kPercent},
    {"bing.com",       false,    "/ck/a", kQuery, {"u"},        "",      "a1",  kBase64Url},
}};
// clang-format on

constexpr std::string_view kSchemeEnd = "://";
constexpr std::string_view kSchemeRelative = "//";
constexpr std::string_view kAnyTopLevelDomain = ".*";
constexpr char kAnyPath = '*';
// What is left of "&amp;" after the query is split at "&".
constexpr std::string_view kAmpEntityRest = "amp;";
// Second-level labels under which some countries register names ("google.co.uk",
// "google.com.au"), each followed by a two-letter country code.
constexpr std::array<std::string_view, 2> kSecondLevelLabels = {"co", "com"};
constexpr std::size_t kCountryCodeLength = 2;
constexpr int kHexRadix = 16;
constexpr int kDecimalDigits = 10;
constexpr int kBase64BitsPerChar = 6;
constexpr int kBitsPerByte = 8;
constexpr unsigned kByteMask = 0xFF;
constexpr std::size_t kBase64Quantum = 4;
// How a query parameter's value begins when it holds a web address, in lower case.
constexpr std::array<std::string_view, 4> kEmbeddedAddressStarts = {"http%3a", "https%3a",
                                                                    "http://", "https://"};
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

// The parts of an address a rule looks at.
struct Parts {
    bool hasHost = false;
    std::string host; // lower case, without user and port
    std::string_view path;
    std::string_view query;
};

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool isWebScheme(std::string_view scheme) {
    return equalsNoCase(scheme, "http") || equalsNoCase(scheme, "https");
}

bool isLetters(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        const char lower = lowerAscii(c);
        if (lower < 'a' || lower > 'z') {
            return false;
        }
    }
    return true;
}

// The host of an authority ("user@host:port"), or an empty view when there is none.
std::string_view hostOf(std::string_view authority) {
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    return authority.substr(0, authority.find(':'));
}

// Splits an absolute http or https address, a scheme-relative one ("//host/...") or a
// site-relative one ("/path..."); anything else is no redirect.
std::optional<Parts> split(std::string_view address) {
    Parts parts;
    std::size_t authority = std::string_view::npos;
    if (address.starts_with(kSchemeRelative)) {
        authority = kSchemeRelative.size();
    } else if (const std::size_t schemeEnd = address.find(kSchemeEnd);
               schemeEnd != std::string_view::npos && isWebScheme(address.substr(0, schemeEnd))) {
        authority = schemeEnd + kSchemeEnd.size();
    } else if (!address.starts_with('/')) {
        return std::nullopt;
    }
    std::size_t pathStart = 0;
    if (authority != std::string_view::npos) {
        pathStart = std::min(address.find_first_of("/?#", authority), address.size());
        const std::string_view host = hostOf(address.substr(authority, pathStart - authority));
        parts.hasHost = true;
        for (char c : host) {
            parts.host += lowerAscii(c);
        }
    }
    const std::string_view rest = address.substr(pathStart);
    const std::size_t fragment = std::min(rest.find('#'), rest.size());
    const std::size_t query = std::min(rest.find('?'), fragment);
    parts.path = rest.substr(0, query);
    if (query < fragment) {
        parts.query = rest.substr(query + 1, fragment - query - 1);
    }
    return parts;
}

// Whether host is name or a host under it ("html.duckduckgo.com" under "duckduckgo.com").
bool isNameOrUnder(std::string_view host, std::string_view name) {
    if (host == name) {
        return true;
    }
    return host.ends_with(name) && host.size() > name.size() &&
           host[host.size() - name.size() - 1] == '.';
}

// Whether host is name, or a host under it, followed by one top-level domain: one label of
// letters ("google.de"), or a second-level label and a country code ("google.co.uk").
bool isNameUnderAnyTopLevel(std::string_view host, std::string_view name) {
    const std::size_t lastDot = host.rfind('.');
    if (lastDot == std::string_view::npos) {
        return false;
    }
    const std::string_view top = host.substr(lastDot + 1);
    const std::string_view rest = host.substr(0, lastDot);
    if (!isLetters(top)) {
        return false;
    }
    if (isNameOrUnder(rest, name)) {
        return true;
    }
    const std::size_t secondDot = rest.rfind('.');
    if (top.size() != kCountryCodeLength || secondDot == std::string_view::npos) {
        return false;
    }
    const std::string_view second = rest.substr(secondDot + 1);
    return std::find(kSecondLevelLabels.begin(), kSecondLevelLabels.end(), second) !=
               kSecondLevelLabels.end() &&
           isNameOrUnder(rest.substr(0, secondDot), name);
}

bool hostMatches(const Rule& rule, const Parts& parts) {
    if (!parts.hasHost) {
        return rule.relative;
    }
    std::string_view pattern = rule.host;
    if (pattern.ends_with(kAnyTopLevelDomain)) {
        pattern.remove_suffix(kAnyTopLevelDomain.size());
        return isNameUnderAnyTopLevel(parts.host, pattern);
    }
    return isNameOrUnder(parts.host, pattern);
}

bool pathMatches(std::string_view pattern, std::string_view path) {
    if (pattern.ends_with(kAnyPath)) {
        pattern.remove_suffix(1);
        return path.starts_with(pattern);
    }
    return path == pattern;
}

// The value of the first parameter called name; a parameter without "=" has an empty value.
std::optional<std::string_view> parameter(std::string_view query, std::string_view name) {
    while (true) {
        const std::size_t amp = query.find('&');
        std::string_view field = query.substr(0, amp);
        while (field.starts_with(kAmpEntityRest)) {
            field.remove_prefix(kAmpEntityRest.size());
        }
        const std::size_t equals = field.find('=');
        if (field.substr(0, equals) == name) {
            return equals == std::string_view::npos ? std::string_view() : field.substr(equals + 1);
        }
        if (amp == std::string_view::npos) {
            return std::nullopt;
        }
        query.remove_prefix(amp + 1);
    }
}

// Whether a query parameter's value begins like a web address.
bool queryHoldsAddress(std::string_view query) {
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view field = query.substr(0, amp);
        const std::size_t equals = field.find('=');
        if (equals != std::string_view::npos) {
            const std::string_view value = field.substr(equals + 1);
            for (const std::string_view start : kEmbeddedAddressStarts) {
                if (value.size() >= start.size() &&
                    equalsNoCase(value.substr(0, start.size()), start)) {
                    return true;
                }
            }
        }
        if (amp == std::string_view::npos) {
            break;
        }
        query.remove_prefix(amp + 1);
    }
    return false;
}

std::optional<std::string_view> pathSegment(std::string_view path, std::string_view marker,
                                            std::string_view end) {
    const std::size_t start = path.find(marker);
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    path.remove_prefix(start + marker.size());
    std::size_t stop = path.find(end);
    if (stop == std::string_view::npos) {
        stop = path.find('/');
    }
    return path.substr(0, stop);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = lowerAscii(c);
    if (lower >= 'a' && lower <= 'f') {
        return lower - 'a' + kDecimalDigits;
    }
    return -1;
}

std::optional<std::string> percentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (text.size() - i <= 2) {
            return std::nullopt;
        }
        const int high = hexValue(text[i + 1]);
        const int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(high * kHexRadix + low);
        i += 2;
    }
    return out;
}

int base64UrlValue(char c) {
    constexpr int kLowerStart = 26;
    constexpr int kDigitStart = 52;
    constexpr int kDash = 62;
    constexpr int kUnderscore = 63;
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + kLowerStart;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + kDigitStart;
    }
    if (c == '-') {
        return kDash;
    }
    if (c == '_') {
        return kUnderscore;
    }
    return -1;
}

std::optional<std::string> base64UrlDecode(std::string_view text) {
    std::size_t padding = 0;
    while (!text.empty() && text.back() == '=') {
        text.remove_suffix(1);
        ++padding;
    }
    const std::size_t tail = text.size() % kBase64Quantum;
    // One character alone cannot carry a byte; written padding must fill the last quantum.
    if (tail == 1 || (padding != 0 && padding != (kBase64Quantum - tail) % kBase64Quantum)) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(text.size());
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        const int value = base64UrlValue(c);
        if (value < 0) {
            return std::nullopt;
        }
        bits = (bits << kBase64BitsPerChar) | static_cast<unsigned>(value);
        count += kBase64BitsPerChar;
        if (count >= kBitsPerByte) {
            count -= kBitsPerByte;
            out += static_cast<char>((bits >> count) & kByteMask);
        }
    }
    return out;
}

// An absolute http or https address with a host, and no control characters that would break
// a line or a field where the address is written.
bool isAbsoluteWebAddress(std::string_view address) {
    for (char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < kFirstPrintable || byte == kDelete) {
            return false;
        }
    }
    const std::size_t schemeEnd = address.find(kSchemeEnd);
    if (schemeEnd == std::string_view::npos || !isWebScheme(address.substr(0, schemeEnd))) {
        return false;
    }
    const std::size_t authority = schemeEnd + kSchemeEnd.size();
    const std::size_t pathStart = std::min(address.find_first_of("/?#", authority), address.size());
    return !hostOf(address.substr(authority, pathStart - authority)).empty();
}

std::optional<std::string> decodeTarget(const Rule& rule, std::string_view encoded) {
    if (!encoded.starts_with(rule.strip)) {
        return std::nullopt;
    }
    encoded.remove_prefix(rule.strip.size());
    std::optional<std::string> target = rule.encoding == TargetEncoding::Percent
                                            ? percentDecode(encoded)
                                            : base64UrlDecode(encoded);
    if (!target || !isAbsoluteWebAddress(*target)) {
        return std::nullopt;
    }
    return target;
}

std::optional<std::string> targetOf(const Rule& rule, const Parts& parts) {
    if (rule.place == TargetPlace::PathSegment) {
        const std::optional<std::string_view> encoded =
            pathSegment(parts.path, rule.names.front(), rule.end);
        return encoded ? decodeTarget(rule, *encoded) : std::nullopt;
    }
    for (std::string_view name : rule.names) {
        if (name.empty()) {
            break;
        }
        if (const std::optional<std::string_view> encoded = parameter(parts.query, name)) {
            if (std::optional<std::string> target = decodeTarget(rule, *encoded)) {
                return target;
            }
        }
    }
    return std::nullopt;
}

} // namespace

std::string AddressUnwrapper::Unwrap(std::string_view address) {
    const std::optional<Parts> parts = split(address);
    if (parts) {
        for (const Rule& rule : kRules) {
            if (hostMatches(rule, *parts) && pathMatches(rule.path, parts->path)) {
                if (std::optional<std::string> target = targetOf(rule, *parts)) {
                    return std::move(*target);
                }
            }
        }
    }
    return std::string(address);
}

bool AddressUnwrapper::LooksWrapped(std::string_view address) {
    const std::optional<Parts> parts = split(address);
    if (!parts) {
        return false;
    }
    for (const Rule& rule : kRules) {
        if (!hostMatches(rule, *parts) || !pathMatches(rule.path, parts->path)) {
            continue;
        }
        if (rule.place == TargetPlace::PathSegment) {
            if (parts->path.find(rule.names.front()) != std::string_view::npos) {
                return true;
            }
            continue;
        }
        for (const std::string_view name : rule.names) {
            if (!name.empty() && parameter(parts->query, name)) {
                return true;
            }
        }
    }
    return queryHoldsAddress(parts->query);
}
