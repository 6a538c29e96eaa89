#include "cli/EnginesCommand.h"

#include "cli/Cli.h"
#include "cli/TerminalText.h"
#include "model/EngineCatalog.h"
#include "model/EngineFileSwitch.h"
#include "platform/FolderLock.h"
#include "settings/EngineHealth.h"

#include <cstdio>
#include <ctime>
#include <string_view>

namespace {

const char* const kUsage =
    "usage: vantorell-search engines [--app-path DIR] [--health]\n"
    "       vantorell-search engines [--app-path DIR] (--enable NAME | --disable NAME)\n"
    "                                [--category C]\n"
    "\n"
    "Lists every engine of the program folder's Site and User folders in catalogue order,\n"
    "one line each: category, name, enable and website separated by tabs.\n"
    "\n"
    "  --app-path DIR  the program folder (default: VANTORELL_APPPATH, the AppPath setting,\n"
    "                  or the current folder)\n"
    "  --health        list instead how each engine fared in its last searches: category,\n"
    "                  name, searches that found results out of those kept, the median time\n"
    "                  to the first result, the last failure, and when a resting engine is\n"
    "                  asked again\n"
    "  --enable NAME   switch the engine on (rewriting its file in Site, as the options\n"
    "                  sheet does, or only its enable line in User); this also ends its\n"
    "                  rest\n"
    "  --disable NAME  switch the engine off\n"
    "  --category C    the engine's category, when engines of several categories share NAME\n";

class RecordingMessages : public MessageSink {
  public:
    void showMessage(std::string_view, std::string_view message) override {
        text = std::string(message);
    }
    std::string text;
};

void put(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

std::string healthLine(const EngineHealth& health, std::string_view category, std::string_view name,
                       std::int64_t now) {
    const EngineHealth::Summary summary = health.Summarise(category, name, now);
    std::string line = std::to_string(summary.successes) + "/" + std::to_string(summary.searches);
    line += '\t';
    line += summary.medianFirstResultMs < 0 ? std::string("-")
                                            : std::to_string(summary.medianFirstResultMs) + " ms";
    line += '\t';
    // The failure is often a status line a server wrote.
    line +=
        summary.lastFailure.empty() ? std::string("-") : TerminalText::Escape(summary.lastFailure);
    if (summary.restUntil != 0) {
        const std::time_t until = static_cast<std::time_t>(summary.restUntil);
        std::tm local{};
        localtime_r(&until, &local);
        char text[32];
        std::snprintf(text, sizeof text, "\tresting until %02d:%02d", local.tm_hour, local.tm_min);
        line += text;
    }
    return line;
}

// Switches the engine named name (in category, when not empty) on or off.
int switchEngine(EngineCatalog& catalog, const std::string& programFolder, const std::string& name,
                 const std::string& category, bool enable) {
    int32_t foundGroup = -1;
    int32_t foundIndex = -1;
    int matches = 0;
    for (int32_t group = 0; group < catalog.CategoryCount(); ++group) {
        const std::string groupName(catalog.CategoryName(group));
        if (!category.empty() && groupName != category) {
            continue;
        }
        catalog.SelectCategory(groupName);
        for (int32_t index = 0; index < catalog.EngineCount(); ++index) {
            if (catalog.Engine(index)->name.view() == name) {
                foundGroup = group;
                foundIndex = index;
                ++matches;
            }
        }
    }
    if (matches == 0) {
        return Cli::Fail("no engine named " + name +
                         (category.empty() ? std::string() : " in category " + category));
    }
    if (matches > 1) {
        return Cli::Fail("several engines are named " + name + "; name one with --category");
    }
    catalog.SelectCategory(catalog.CategoryName(foundGroup));
    const EngineDefinition found = *catalog.Engine(foundIndex);
    EngineDefinition changed = found;
    changed.enable.set(enable ? "true" : "false");
    // A Site file is rewritten whole when it is in canonical form; a user's own file in User
    // keeps every byte but its enable line.
    if (!catalog.UpdateEngine(foundIndex, changed) &&
        !EngineFileSwitch::SwitchUserEngine(programFolder + "/User", found, enable)) {
        return Cli::Fail("cannot rewrite the file of engine " + name +
                         " (files in Site must be in canonical form)");
    }
    const std::string engineCategory(found.category.view());
    if (enable) {
        // The caller holds the folder's lock already.
        EngineHealth health(programFolder);
        if (health.Load() && health.IsResting(engineCategory, name, std::time(nullptr))) {
            health.EndRest(engineCategory, name);
            health.Save();
        }
    }
    return Cli::kExitOk;
}

} // namespace

int EnginesCommand::Run(const std::vector<std::string>& words) {
    CommandLine line({"--app-path", "--enable", "--disable", "--category"}, {"--help", "--health"});
    if (!line.Parse(words)) {
        return Cli::Fail(line.Error());
    }
    if (line.Has("--help")) {
        return Cli::Help(kUsage);
    }
    if (!line.Arguments().empty()) {
        return Cli::Fail("engines takes no argument: " + line.Arguments().front());
    }

    // The catalogue's message box, which names the files it could not read, becomes the one
    // error line.
    if (line.Has("--enable") && line.Has("--disable")) {
        return Cli::Fail("--enable and --disable exclude each other");
    }
    std::string programFolder;
    std::string error;
    if (!Cli::EngineFolder(line, programFolder, error)) {
        return Cli::Fail(error);
    }
    RecordingMessages messages;
    // Switching reads and rewrites files other programs on the folder may rewrite too.
    FolderLock lock(programFolder);
    const bool switching = line.Has("--enable") || line.Has("--disable");
    if (switching && !lock.Acquire(EngineHealth::kLockWaitMs)) {
        return Cli::Fail("another program keeps the program folder " + programFolder +
                         " busy; nothing was switched");
    }
    EngineCatalog catalog(programFolder, messages);
    catalog.Load();
    if (!catalog.UnreadablePaths().empty()) {
        return Cli::Fail(messages.text);
    }
    if (line.Has("--enable") || line.Has("--disable")) {
        const bool enable = line.Has("--enable");
        return switchEngine(catalog, programFolder, line.Value(enable ? "--enable" : "--disable"),
                            line.Value("--category", ""), enable);
    }
    const bool healthWanted = line.Has("--health");
    EngineHealth health(programFolder);
    if (healthWanted) {
        if (!health.Load()) {
            return Cli::Fail("cannot read " + health.Path());
        }
        if (health.IgnoredLines() > 0) {
            std::fprintf(stderr, "Note: %d damaged line(s) of %s were ignored\n",
                         health.IgnoredLines(), health.Path().c_str());
        }
    }
    const std::int64_t now = std::time(nullptr);
    for (int32_t group = 0; group < catalog.CategoryCount(); ++group) {
        catalog.SelectCategory(catalog.CategoryName(group));
        for (int32_t index = 0; index < catalog.EngineCount(); ++index) {
            const EngineDefinition* engine = catalog.Engine(index);
            put(engine->category.view());
            put("\t");
            put(engine->name.view());
            put("\t");
            if (healthWanted) {
                put(healthLine(health, engine->category.view(), engine->name.view(), now));
            } else {
                put(engine->enable.view());
                put("\t");
                put(engine->website.view());
            }
            put("\n");
        }
    }
    return Cli::kExitOk;
}
