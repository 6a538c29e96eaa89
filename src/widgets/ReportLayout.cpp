#include "widgets/ReportLayout.h"

#include "platform/ProfileFile.h"

#include <algorithm>
#include <limits>
#include <string>

namespace {

constexpr int kDecimalBase = 10;

// Reads an optional minus sign and decimal digits at pos; false when there are no digits.
bool ReadLayoutNumber(std::string_view text, std::size_t& pos, int& value) {
    bool negative = false;
    if (pos < text.size() && text[pos] == '-') {
        negative = true;
        ++pos;
    }
    const std::size_t digitsBegin = pos;
    long long magnitude = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        magnitude = std::min<long long>(magnitude * kDecimalBase + (text[pos] - '0'),
                                        std::numeric_limits<int>::max());
        ++pos;
    }
    if (pos == digitsBegin) {
        return false;
    }
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

} // namespace

std::optional<ReportLayout> ReportLayout::Load(const ProfileFile& profile, std::string_view section,
                                               std::string_view entry, int definitions) {
    const std::optional<std::string> text = profile.ReadValue(section, entry);
    if (!text || text->empty()) {
        return std::nullopt;
    }
    return Parse(*text, definitions);
}

std::optional<ReportLayout> ReportLayout::Parse(std::string_view text, int definitions) {
    // The first number follows the opening parenthesis, every later one its separator.
    std::size_t pos = 1;
    bool first = true;
    const auto next = [&](int& value) {
        if (!first) {
            ++pos;
        }
        first = false;
        return ReadLayoutNumber(text, pos, value);
    };
    int count = 0;
    int shown = 0;
    if (!next(count) || !next(shown)) {
        return std::nullopt;
    }
    if (count != definitions || shown <= 0) {
        return std::nullopt;
    }
    ReportLayout layout;
    layout.m_widths.resize(static_cast<std::size_t>(count));
    for (int& width : layout.m_widths) {
        if (!next(width)) {
            return std::nullopt;
        }
    }
    for (int i = 0; i < shown; ++i) {
        int subItem = 0;
        if (!next(subItem)) {
            return std::nullopt;
        }
        layout.m_order.push_back(subItem);
    }
    return layout;
}

const std::vector<int>& ReportLayout::Widths() const {
    return m_widths;
}

const std::vector<int>& ReportLayout::Order() const {
    return m_order;
}
