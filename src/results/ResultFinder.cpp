#include "results/ResultFinder.h"

#include "model/Utf8Cut.h"
#include "platform/MessageSink.h"

namespace {

// The message boxes of the find commands have no caption text.
constexpr std::string_view kNoCaption = "";

// Letter case is folded for ASCII letters only: the texts are bytes of whatever encoding the
// pages had, and folding other bytes could make unrelated characters match.
std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

} // namespace

ResultFinder::ResultFinder(MessageSink& messages) : m_messages(messages) {
}

int32_t ResultFinder::Find(ResultRows& rows, std::string_view text, uint32_t flags) {
    m_text = std::string(Utf8Cut::Prefix(text, kMaxTextLength));
    m_flags = flags;
    return Store(Search(rows, 0));
}

int32_t ResultFinder::FindNext(ResultRows& rows) {
    return Store(Search(rows, m_position + 1));
}

int32_t ResultFinder::Search(ResultRows& rows, int32_t position) const {
    if (m_text.empty()) {
        m_messages.showMessage(kNoCaption, kEmptyTextMessage);
        return kNoMatch;
    }
    const bool matchCase = (m_flags & kMatchCase) != 0;
    const std::string wanted = matchCase ? m_text : AsciiLower(m_text);
    for (int32_t p = position < 0 ? 0 : position; p < rows.Count(); ++p) {
        const int32_t item = rows.ItemAt(p);
        const SearchResult* result = rows.results.Get(item);
        if (result != nullptr && Matches(*result, wanted)) {
            rows.SelectOnly(item);
            return p;
        }
    }
    return kNoMatch;
}

const std::string& ResultFinder::Text() const {
    return m_text;
}

uint32_t ResultFinder::Flags() const {
    return m_flags;
}

int32_t ResultFinder::Position() const {
    return m_position;
}

bool ResultFinder::Matches(const SearchResult& result, std::string_view wanted) const {
    const bool matchCase = (m_flags & kMatchCase) != 0;
    const auto contains = [&](std::string_view field) {
        if (matchCase) {
            return field.find(wanted) != std::string_view::npos;
        }
        return AsciiLower(field).find(wanted) != std::string::npos;
    };
    if ((m_flags & kSearchTitles) != 0 && contains(result.title.view())) {
        return true;
    }
    if ((m_flags & kSearchAddresses) != 0 && contains(result.address.view())) {
        return true;
    }
    return (m_flags & kSearchSummaries) != 0 && contains(result.summary.view());
}

int32_t ResultFinder::Store(int32_t position) {
    m_position = position;
    if (position == kNoMatch) {
        m_messages.showMessage(kNoCaption, kNoMoreMatchesMessage);
    }
    return position;
}
