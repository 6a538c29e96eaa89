#include "search/JobQueue.h"

#include "search/TextReplace.h"

#include <algorithm>
#include <string>

namespace {

// The page state's two counts: bits 0-7 the step, bits 8-15 the current result offset.
constexpr uint32_t kPageByteMask = 0xFF;
constexpr uint32_t kOffsetShift = 8;
// The offset is kept in one byte: an offset of this value or more does not fit.
constexpr uint32_t kOffsetLimit = 256;

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

bool JobQueue::NextJob(SearchJob& out) {
    if (m_jobs.empty()) {
        return false;
    }
    const std::size_t index = m_next % m_jobs.size();
    SearchJob& node = m_jobs[index];

    out = node;
    const uint32_t step = node.pageState & kPageByteMask;
    const uint32_t offset = (node.pageState >> kOffsetShift) & kPageByteMask;
    if (out.method == SearchJob::kMethodGet) {
        TurnPage(out.url, step, offset);
    } else {
        TurnPage(out.body, step, offset);
    }

    // The node keeps its tokens; only its offset moves on. Bits above the offset are dropped.
    // An offset that would wrap would fetch pages already seen again, so the engine is done.
    const uint32_t nextOffset = step + offset;
    if (nextOffset >= kOffsetLimit) {
        m_jobs.erase(m_jobs.begin() + static_cast<std::ptrdiff_t>(index));
        // The job after it has moved into its place.
        m_next = index;
    } else {
        node.pageState = step + nextOffset * kOffsetLimit;
        m_next = index + 1;
    }
    return true;
}

bool JobQueue::NextJobExcept(SearchJob& out, const std::vector<std::string>& busy) {
    for (std::size_t turn = 0; turn < m_jobs.size(); ++turn) {
        const std::size_t index = (m_next + turn) % m_jobs.size();
        const std::string_view engine = m_jobs[index].engineName.view();
        if (std::find(busy.begin(), busy.end(), engine) == busy.end()) {
            m_next = index;
            return NextJob(out);
        }
    }
    return false;
}

void JobQueue::RemoveFirst() {
    if (m_jobs.empty()) {
        return;
    }
    m_jobs.pop_front();
}

void JobQueue::RemoveEngine(std::string_view engineName) {
    for (std::size_t index = 0; index < m_jobs.size(); ++index) {
        if (m_jobs[index].engineName.view() != engineName) {
            continue;
        }
        m_jobs.erase(m_jobs.begin() + static_cast<std::ptrdiff_t>(index));
        // The jobs after it moved one place forward, the one handed out next among them.
        if (m_next > index) {
            --m_next;
        }
        return;
    }
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
