#include "search/EngineAccount.h"

#include "search/PageTally.h"

namespace {

constexpr int kFirstSuccess = 200;
constexpr int kLastSuccess = 299;
constexpr int kStatusForbidden = 403;
constexpr int kStatusTooManyRequests = 429;

} // namespace

void EngineAccount::Clear() {
    m_records.clear();
    m_lastCounted = -1;
}

int EngineAccount::Add(std::string_view name, EngineRecord::State state) {
    const int found = Find(name);
    if (found >= 0) {
        return found;
    }
    EngineRecord record;
    record.name = std::string(name);
    record.state = state;
    m_records.push_back(record);
    return static_cast<int>(m_records.size()) - 1;
}

int EngineAccount::Find(std::string_view name) const {
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        if (m_records[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const std::vector<EngineRecord>& EngineAccount::Records() const {
    return m_records;
}

int EngineAccount::PageRequested(int index) {
    EngineRecord& record = m_records[static_cast<std::size_t>(index)];
    ++record.pagesRequested;
    record.state = EngineRecord::State::Receiving;
    return record.pagesRequested;
}

void EngineAccount::PieceParsed(int index, const PageTally& tally, std::int64_t sinceFirstRequestMs,
                                int parsedNow) {
    EngineRecord& record = m_records[static_cast<std::size_t>(index)];
    if (record.firstByteMs < 0) {
        record.firstByteMs = sinceFirstRequestMs;
    }
    if (parsedNow > 0 && record.firstResultMs < 0) {
        record.firstResultMs = sinceFirstRequestMs;
    }
    if (!tally.StatusLine().empty()) {
        record.statusLine = tally.StatusLine();
    }
    record.bytes = record.bytesOfEndedPages + tally.Bytes();
    record.resultsParsed += parsedNow;
}

void EngineAccount::PageFailed(int index, int page, std::string_view text) {
    EngineRecord& record = m_records[static_cast<std::size_t>(index)];
    record.error = std::string(text);
    record.errorPage = page;
}

void EngineAccount::PageEnded(int index, int page, const PageTally& tally, std::int64_t pageMs,
                              int parsedOnPage, bool failed, bool lastPage) {
    EngineRecord& record = m_records[static_cast<std::size_t>(index)];
    record.totalMs += pageMs;
    record.bytesOfEndedPages += tally.Bytes();
    record.bytes = record.bytesOfEndedPages;
    if (!tally.StatusLine().empty()) {
        record.statusLine = tally.StatusLine();
        ++record.pagesAnswered;
    }
    const int status = tally.StatusCode();
    const bool success = status >= kFirstSuccess && status <= kLastSuccess;
    const bool nothing = !failed && success && parsedOnPage == 0;
    const bool refusedStatus = status == kStatusForbidden || status == kStatusTooManyRequests;
    const bool challenge = nothing && tally.ChallengeSeen();
    if (refusedStatus || challenge) {
        record.blocked = true;
        record.challenge = challenge;
    }
    // Any other answer than 2xx ends the engine's search as a failure that names it.
    if (!failed && !refusedStatus && !success && status != 0) {
        record.error = record.statusLine;
        record.errorPage = page;
        failed = true;
    }
    // An empty page after pages of results: the engine's list has run dry.
    const bool dry = nothing && !challenge && record.resultsParsed > 0;
    if (nothing && !dry) {
        // A run of pages that parse to nothing is named by its first page.
        if (!record.lastPageParsedNothing) {
            record.parsedNothingPage = page;
        }
        record.parsedNothing = true;
    }
    record.lastPageParsedNothing = nothing && !dry;
    if (refusedStatus || challenge) {
        record.state = EngineRecord::State::Blocked;
    } else if (failed) {
        record.state = EngineRecord::State::Failed;
    } else if (dry || (lastPage && !nothing)) {
        record.state = EngineRecord::State::NoMorePages;
    } else if (nothing) {
        record.state = EngineRecord::State::ParsedNothing;
    } else {
        record.state = EngineRecord::State::Done;
    }
}

void EngineAccount::PageAbandoned(int index, std::uint64_t bytesSeen, std::int64_t pageMs) {
    EngineRecord& record = m_records[static_cast<std::size_t>(index)];
    record.totalMs += pageMs;
    record.bytesOfEndedPages += bytesSeen;
    record.bytes = record.bytesOfEndedPages;
    if (record.state == EngineRecord::State::Receiving) {
        record.state = EngineRecord::State::Stopped;
    }
}

void EngineAccount::SearchEnded() {
    for (EngineRecord& record : m_records) {
        if (record.state == EngineRecord::State::Waiting) {
            record.state = EngineRecord::State::NotAsked;
        }
    }
}

int EngineAccount::FindCounted(std::string_view name) {
    const auto last = static_cast<std::size_t>(m_lastCounted);
    if (m_lastCounted >= 0 && last < m_records.size() && m_records[last].name == name) {
        return m_lastCounted;
    }
    m_lastCounted = Find(name);
    return m_lastCounted;
}

void EngineAccount::ResultAccepted(std::string_view engine) {
    const int index = FindCounted(engine);
    if (index >= 0) {
        ++m_records[static_cast<std::size_t>(index)].resultsAccepted;
    }
}

void EngineAccount::DuplicateRefused(std::string_view engine) {
    const int index = FindCounted(engine);
    if (index >= 0) {
        ++m_records[static_cast<std::size_t>(index)].duplicates;
    }
}

int EngineAccount::AcceptedTotal() const {
    int total = 0;
    for (const EngineRecord& record : m_records) {
        total += record.resultsAccepted;
    }
    return total;
}

std::string EngineAccount::StateText(const EngineRecord& record) {
    switch (record.state) {
    case EngineRecord::State::Waiting:
        return "waiting";
    case EngineRecord::State::Receiving:
        return "receiving";
    case EngineRecord::State::Done:
        return "done";
    case EngineRecord::State::NoMorePages:
        return "no more pages";
    case EngineRecord::State::Failed:
        return "failed: " + record.error;
    case EngineRecord::State::ParsedNothing:
        return "parsed nothing on page " + std::to_string(record.parsedNothingPage);
    case EngineRecord::State::Blocked:
        return "blocked";
    case EngineRecord::State::Resting:
        return "resting";
    case EngineRecord::State::NotAsked:
        return "not asked";
    case EngineRecord::State::Stopped:
        return "stopped";
    }
    return std::string();
}
