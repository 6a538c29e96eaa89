#include "search/PageTally.h"

#include "extract/PageKind.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

constexpr std::size_t kTailKept = PageKind::kMarkerLengthLimit;
constexpr std::size_t kStatusCodeStart = 9; // "HTTP/1.x " precedes the code
constexpr std::size_t kStatusCodeDigits = 3;

} // namespace

void PageTally::Reset() {
    *this = PageTally();
}

void PageTally::Take(const char* piece, std::size_t size) {
    if (!m_statusLineEnded) {
        const char* end = static_cast<const char*>(std::memchr(piece, '\n', size));
        const std::size_t taken = end != nullptr ? static_cast<std::size_t>(end - piece) : size;
        const std::size_t room = kStatusLineLimit - std::min(kStatusLineLimit, m_head.size());
        m_head.append(piece, std::min(taken, room));
        if (end != nullptr) {
            m_statusLineEnded = true;
            while (!m_head.empty() && (m_head.back() == '\r' || m_head.back() == '\0')) {
                m_head.pop_back();
            }
            m_statusLine = m_head;
        }
    }
    if (m_bytes < kChallengeScanLimit && !m_challengeSeen) {
        ScanForChallenge(piece, size);
    }
    m_bytes += size;
}

void PageTally::ScanForChallenge(const char* piece, std::size_t size) {
    std::string window = m_tail;
    window.append(piece, std::min(size, kChallengeScanLimit));
    if (PageKind::HasChallengeMarker(window)) {
        m_challengeSeen = true;
        return;
    }
    m_tail = window.substr(window.size() - std::min(window.size(), kTailKept));
}

std::size_t PageTally::Bytes() const {
    return m_bytes;
}

const std::string& PageTally::StatusLine() const {
    return m_statusLine;
}

int PageTally::StatusCode() const {
    if (m_statusLine.size() < kStatusCodeStart + kStatusCodeDigits ||
        m_statusLine.compare(0, 5, "HTTP/") != 0) {
        return 0;
    }
    int code = 0;
    for (std::size_t i = kStatusCodeStart; i < kStatusCodeStart + kStatusCodeDigits; ++i) {
        const char c = m_statusLine[i];
        if (c < '0' || c > '9') {
            return 0;
        }
        code = code * 10 + (c - '0');
    }
    return code;
}

bool PageTally::ChallengeSeen() const {
    return m_challengeSeen;
}
