#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// How each engine fared in its last searches, kept in a small file of the program folder so
// that a user can see which engine fails and why, and so that an engine that keeps answering
// with a block rests for a while instead of being asked again at every search.
//
// An engine is its engine file: its category and its name, since two categories may each have
// an engine of the same name that fares quite differently.
//
// The file is text, one line per entry, fields separated by tabs:
//   "search", category, engine, time (seconds since 1970), outcome, first result (ms or -1),
//   failure
//   "rest", category, engine, until (seconds since 1970)
// after a first line that names the format. Lines of the first format (without the category)
// are read as engines of no category. Lines that do not read as one of these are ignored and
// counted; the file is rewritten whole, safely, when something is recorded. Several programs
// may share one program folder, so a change is read, made and written under the folder's lock
// (Update).
class EngineHealth {
  public:
    static constexpr std::string_view kFileName = "EngineHealth.txt";
    static constexpr std::string_view kFormatLine = "Vantorell 2001 engine health 2";
    static constexpr std::string_view kFirstFormatLine = "Vantorell 2001 engine health 1";
    // How long an update waits for another program to finish its own.
    static constexpr int kLockWaitMs = 3000;
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
    void Record(std::string_view category, std::string_view engine, const Search& search);
    // The engine rests no longer (the user switched it on again).
    void EndRest(std::string_view category, std::string_view engine);
    bool IsResting(std::string_view category, std::string_view engine, std::int64_t now) const;
    Summary Summarise(std::string_view category, std::string_view engine, std::int64_t now) const;
    // Writes the file safely; false when it could not be written or could not be read before.
    bool Save() const;

    enum class UpdateResult {
        Saved,
        Locked, // another program held the folder's lock too long: this update is lost
        Failed, // the file could not be read or written
    };
    // Reads the file, lets change alter the history and writes it back, all under the program
    // folder's lock, so that programs updating the file at once lose none of each other's
    // changes. change returns false when it changed nothing (nothing is written then).
    UpdateResult Update(const std::function<bool(EngineHealth&)>& change);

    static std::string_view OutcomeWord(Outcome outcome);

  private:
    bool ParseLine(std::string_view line);
    // The map key of an engine: its category and name, which hold no tab.
    static std::string KeyOf(std::string_view category, std::string_view engine);

    std::string m_folder;
    std::string m_path;
    std::map<std::string, std::vector<Search>, std::less<>> m_searches;
    std::map<std::string, std::int64_t, std::less<>> m_restUntil;
    int m_ignored = 0;
    bool m_unreadable = false;
};
