#pragma once

#include "search/EngineRecord.h"

#include <string>
#include <string_view>
#include <vector>

class PageTally;

// The engine report of one search: for every engine of the search, the pages it was asked
// and answered, its bytes and times, what its grammar parsed, what the list accepted or refused
// as duplicates, and how its pages failed. Updated on the user-interface thread as pieces and
// notices arrive; engines are found by name, as results carry it.
class EngineAccount {
  public:
    void Clear();
    // Adds an engine in the state Waiting (or Resting); an engine already there is kept.
    int Add(std::string_view name, EngineRecord::State state = EngineRecord::State::Waiting);
    // The index of the engine of that name, or -1.
    int Find(std::string_view name) const;
    const std::vector<EngineRecord>& Records() const;

    // The engine's next page is requested; returns its number (from 1).
    int PageRequested(int index);
    // A piece of the engine's current page was parsed into parsedNow results;
    // sinceFirstRequestMs counts from the engine's first request in this search.
    void PieceParsed(int index, const PageTally& tally, std::int64_t sinceFirstRequestMs,
                     int parsedNow);
    // The client failed the page with text.
    void PageFailed(int index, int page, std::string_view text);
    // The page's exchange ended; lastPage tells that the engine has no further page.
    void PageEnded(int index, int page, const PageTally& tally, std::int64_t pageMs,
                   int parsedOnPage, bool failed, bool lastPage);
    // The search stopped while the page was still arriving: its bytes and time count, but an
    // unfinished page says nothing about the grammar.
    // bytesSeen: what the page had brought by the last piece parsed.
    void PageAbandoned(int index, std::uint64_t bytesSeen, std::int64_t pageMs);
    // The search has ended: engines still waiting were never asked.
    void SearchEnded();
    void ResultAccepted(std::string_view engine);
    void DuplicateRefused(std::string_view engine);
    // Results accepted by every engine together.
    int AcceptedTotal() const;

    // The state in words: "waiting", "receiving", "done", "no more pages", "failed: TEXT",
    // "parsed nothing on page N", "blocked", "resting", "not asked", "stopped".
    static std::string StateText(const EngineRecord& record);

  private:
    // Find for the per-result counts: results come in runs from one engine's page, so the
    // engine found last is tried first.
    int FindCounted(std::string_view name);

    std::vector<EngineRecord> m_records;
    int m_lastCounted = -1;
};
