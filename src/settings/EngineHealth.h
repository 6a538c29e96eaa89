#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// How each engine fared in its last searches, kept in a small file of the program folder so
// that a user can see which engine fails and why, and so that an engine that keeps answering
// with a block rests for a while instead of being asked again at every search.
//
// The file is text, one line per entry, fields separated by tabs:
//   "search", engine, time (seconds since 1970), outcome, first result (ms or -1), failure
//   "rest", engine, until (seconds since 1970)
// after a first line that names the format. Lines that do not read as one of these are
// ignored and counted; the file is rewritten whole, safely, when something is recorded.
class EngineHealth {
  public:
    static constexpr std::string_view kFileName = "EngineHealth.txt";
    static constexpr std::string_view kFormatLine = "Vantorell 2001 engine health 1";
    // Searches kept per engine.
    static constexpr std::size_t kSearchesKept = 20;
    // Searches in a row that ended blocked before an engine rests, and for how long.
    static constexpr int kBlockedInARowToRest = 3;
    static constexpr std::int64_t kRestSeconds = 3600;

    enum class Outcome {
        Ok,      // it parsed results
        Nothing, // it answered, but nothing could be parsed
        Failed,  // the exchange failed (no answer, a socket error, ...)
        Blocked, // it answered 403 or 429, or a challenge instead of results
    };
    struct Search {
        std::int64_t time = 0;
        Outcome outcome = Outcome::Ok;
        std::int64_t firstResultMs = -1;
        std::string failure;
    };
    struct Summary {
        int searches = 0;
        int successes = 0;
        // Median time to the first result over the searches that had one; -1 without any.
        std::int64_t medianFirstResultMs = -1;
        std::string lastFailure;
        // Seconds since 1970 until which the engine rests; 0 when it does not.
        std::int64_t restUntil = 0;
    };

    explicit EngineHealth(std::string programFolder);

    // Reads the file; an absent file is an empty history. False when it exists but cannot be
    // read (it is then never rewritten).
    bool Load();
    // Lines of the file that were not understood and will not be written back.
    int IgnoredLines() const;
    const std::string& Path() const;

    // Adds the outcome of one search, keeping the last kSearchesKept; a third blocked search
    // in a row makes the engine rest for kRestSeconds from search.time.
    void Record(std::string_view engine, const Search& search);
    // The engine rests no longer (the user switched it on again).
    void EndRest(std::string_view engine);
    bool IsResting(std::string_view engine, std::int64_t now) const;
    Summary Summarise(std::string_view engine, std::int64_t now) const;
    // The engines the history knows, in name order.
    std::vector<std::string> Engines() const;
    // Writes the file safely; false when it could not be written or could not be read before.
    bool Save() const;

    static std::string_view OutcomeWord(Outcome outcome);

  private:
    bool ParseLine(std::string_view line);

    std::string m_path;
    std::map<std::string, std::vector<Search>, std::less<>> m_searches;
    std::map<std::string, std::int64_t, std::less<>> m_restUntil;
    int m_ignored = 0;
    bool m_unreadable = false;
};
