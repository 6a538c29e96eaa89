#pragma once

#include "settings/EngineHealth.h"

#include <functional>
#include <future>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Adds a search's outcomes to the engine health file on a thread of its own. The update waits
// for the folder's lock (another program may hold it for seconds) and writes the file durably;
// neither may hold up the window at the end of every search. One update runs at a time: a new
// one, or a reader of the file, first waits for the last.
class HealthWriter {
  public:
    using Searches = std::vector<std::pair<std::string, EngineHealth::Search>>;
    // Runs on the update's own thread, given the update's number, once the update is done.
    using EndedHandler = std::function<void(int update)>;

    HealthWriter() = default;
    HealthWriter(const HealthWriter&) = delete;
    HealthWriter& operator=(const HealthWriter&) = delete;
    // Waits for the update under way, so nothing is lost when the program ends.
    ~HealthWriter();

    // Records every search under category in the health file of programFolder. Updates are
    // numbered from 1 in the order they start.
    void Start(std::string programFolder, std::string category, Searches searches,
               EndedHandler onEnded);
    // Whether the update of that number is the last one started and its result is not taken.
    bool Untaken(int update) const;
    // Waits for the update under way; its result, or nothing when none was under way.
    std::optional<EngineHealth::UpdateResult> Wait();

  private:
    std::future<EngineHealth::UpdateResult> m_update;
    int m_started = 0;
};
