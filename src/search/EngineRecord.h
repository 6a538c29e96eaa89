#pragma once

#include <cstdint>
#include <string>

// What one engine did in one search: the line of the engine report.
struct EngineRecord {
    // Where the engine stands, shown in words by EngineAccount::StateText.
    enum class State {
        Waiting,       // no page requested yet
        Receiving,     // a page is being fetched
        Done,          // its last page was answered and parsed
        NoMorePages,   // its offsets ran out, or a page after pages of results had none
        Failed,        // its last page failed in the client or answered other than 2xx
        ParsedNothing, // its pages answered 2xx but the grammar found no result
        Blocked,       // it answered 403 or 429, or a challenge instead of results
        Resting,       // left out of this search after being blocked again and again
        NotAsked,      // the search ended before any page of it was asked
        Stopped,       // the search ended while its page was arriving
    };

    std::string name;
    State state = State::Waiting;
    int pagesRequested = 0;
    int pagesAnswered = 0;
    std::string statusLine;
    std::uint64_t bytes = 0;
    // The bytes of its pages that have ended; bytes adds the page being received.
    std::uint64_t bytesOfEndedPages = 0;
    // Milliseconds from the engine's first request to its first byte; -1 before it came.
    std::int64_t firstByteMs = -1;
    // Milliseconds from the engine's first request to its first parsed result; -1 without one.
    std::int64_t firstResultMs = -1;
    // Milliseconds spent in the engine's exchanges, all pages together.
    std::int64_t totalMs = 0;
    int resultsParsed = 0;
    int resultsAccepted = 0;
    int duplicates = 0;
    // The client's failure text of the last failed page, and that page's number (from 1).
    std::string error;
    int errorPage = 0;
    // A page answered with status 200 parsed to no result; the first page of
    // the latest run of such pages.
    bool parsedNothing = false;
    int parsedNothingPage = 0;
    bool lastPageParsedNothing = false;
    bool blocked = false;
    // The block was a challenge page (a check for robots) rather than a status.
    bool challenge = false;
};
