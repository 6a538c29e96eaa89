#include "cli/EnginesCommand.h"

#include "cli/Cli.h"
#include "model/EngineCatalog.h"

#include <cstdio>
#include <string_view>

namespace {

const char* const kUsage =
    "usage: vantorell-search engines [--app-path DIR]\n"
    "\n"
    "Lists every engine of the program folder's Site and User folders in catalogue order,\n"
    "one line each: category, name, enable and website separated by tabs.\n"
    "\n"
    "  --app-path DIR  the program folder (default: VANTORELL_APPPATH, the AppPath setting,\n"
    "                  or the current folder)\n";

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

} // namespace

int EnginesCommand::Run(const std::vector<std::string>& words) {
    CommandLine line({"--app-path"}, {"--help"});
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
    RecordingMessages messages;
    EngineCatalog catalog(Cli::ProgramFolder(line), messages);
    catalog.Load();
    if (!catalog.UnreadablePaths().empty()) {
        return Cli::Fail(messages.text);
    }
    for (int32_t group = 0; group < catalog.CategoryCount(); ++group) {
        catalog.SelectCategory(catalog.CategoryName(group));
        for (int32_t index = 0; index < catalog.EngineCount(); ++index) {
            const EngineDefinition* engine = catalog.Engine(index);
            put(engine->category.view());
            put("\t");
            put(engine->name.view());
            put("\t");
            put(engine->enable.view());
            put("\t");
            put(engine->website.view());
            put("\n");
        }
    }
    return Cli::kExitOk;
}
