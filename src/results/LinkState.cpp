#include "results/LinkState.h"

#include <cstddef>

namespace {

constexpr std::string_view kStatusLinePrefix = "HTTP/";
// The space before the status code must come before this index.
constexpr std::size_t kStatusSpaceLimit = 10;
constexpr std::size_t kStatusCodeLength = 3;
constexpr int kDecimalBase = 10;
constexpr int kSuccessFirst = 200;
constexpr int kSuccessLast = 299;
constexpr int kClientErrorFirst = 400;
constexpr int kClientErrorLast = 499;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

LinkState ClassifyLinkResponse(std::string_view response) {
    if (response.substr(0, kStatusLinePrefix.size()) != kStatusLinePrefix) {
        return LinkState::Unknown;
    }
    const std::size_t space = response.find(' ');
    if (space == std::string_view::npos || space >= kStatusSpaceLimit) {
        return LinkState::Unknown;
    }
    // The code's three bytes are read as a decimal number: its leading digits count and the
    // first byte that is not a digit ends it. Fewer than three digits never reach the ranges
    // below, so such a code gives Unknown.
    const std::string_view code = response.substr(space + 1, kStatusCodeLength);
    int value = 0;
    for (const char c : code) {
        if (!isDigit(c)) {
            break;
        }
        value = value * kDecimalBase + (c - '0');
    }
    if (value >= kSuccessFirst && value <= kSuccessLast) {
        return LinkState::Valid;
    }
    if (value >= kClientErrorFirst && value <= kClientErrorLast) {
        return LinkState::Invalid;
    }
    return LinkState::Unknown;
}
