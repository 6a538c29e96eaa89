#include "search/JobQueue.h"

#include "search/TextReplace.h"

#include <string>

namespace {

// The page state's two counts: bits 0-7 the step, bits 8-15 the current result offset.
constexpr uint32_t kPageByteMask = 0xFF;
constexpr uint32_t kOffsetShift = 8;
// The offset wraps at this value as it advances.
constexpr uint32_t kOffsetModulus = 256;

// Replaced by the current offset.
constexpr std::string_view kTrunToken = "$TRUN$";
// Replaced by the current offset.
constexpr std::string_view kFirstToken = "$FIRST$";
// Replaced by the current offset plus the step, not wrapped (it can reach 510).
constexpr std::string_view kLastToken = "$LAST$";

} // namespace

void JobQueue::Enqueue(const SearchJob& job) {
    m_jobs.push_back(job);
}

int32_t JobQueue::Count() const {
    return static_cast<int32_t>(m_jobs.size());
}

const SearchJob* JobQueue::GetAt(int32_t index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return &m_jobs[static_cast<std::size_t>(index)];
}

void JobQueue::NextJob(SearchJob& out) {
    // Callers never ask an empty queue; if one did, out stays as it was.
    if (m_jobs.empty()) {
        return;
    }
    const int64_t count = static_cast<int64_t>(m_jobs.size());
    SearchJob& node = m_jobs[static_cast<std::size_t>(m_cursor % count)];
    ++m_cursor;

    out = node;
    const uint32_t step = node.pageState & kPageByteMask;
    const uint32_t offset = (node.pageState >> kOffsetShift) & kPageByteMask;
    if (out.method == SearchJob::kMethodGet) {
        TurnPage(out.url, step, offset);
    } else {
        TurnPage(out.body, step, offset);
    }

    // The node keeps its tokens; only its offset moves on. Bits above the offset are dropped.
    const uint32_t nextOffset = (step + offset) % kOffsetModulus;
    node.pageState = step + nextOffset * kOffsetModulus;
}

void JobQueue::RemoveFirst() {
    if (m_jobs.empty()) {
        return;
    }
    m_jobs.pop_front();
}

void JobQueue::Clear() {
    m_jobs.clear();
}

template <std::size_t Capacity>
void JobQueue::TurnPage(FixedText<Capacity>& text, uint32_t step, uint32_t offset) {
    std::string turned = text.str();
    const std::string first = std::to_string(offset);
    const std::string last = std::to_string(step + offset);
    TextReplace::ReplaceAll(turned, kTrunToken, first);
    TextReplace::ReplaceAll(turned, kFirstToken, first);
    TextReplace::ReplaceAll(turned, kLastToken, last);
    // Each token of six or seven characters becomes at most three digits, so this always fits.
    text.set(turned);
}
