#include "cli/CategoriesCommand.h"

#include "cli/Cli.h"
#include "model/EngineCatalog.h"

#include <cstdio>

namespace {

const char* const kUsage =
    "usage: vantorell-search categories [--app-path DIR]\n"
    "\n"
    "Lists the categories of the search bar, the fixed ones first, one line each: the\n"
    "category, a tab, and its engines as ENABLED/ALL (\"3/4\": three of four are on).\n"
    "\n"
    "  --app-path DIR  the program folder\n";

class RecordingMessages : public MessageSink {
  public:
    void showMessage(std::string_view, std::string_view message) override {
        text = std::string(message);
    }
    std::string text;
};

} // namespace

int CategoriesCommand::Run(const std::vector<std::string>& words) {
    CommandLine line({"--app-path"}, {"--help"});
    if (!line.Parse(words)) {
        return Cli::Fail(line.Error());
    }
    if (line.Has("--help")) {
        return Cli::Help(kUsage);
    }
    if (!line.Arguments().empty()) {
        return Cli::Fail("categories takes no argument: " + line.Arguments().front());
    }
    std::string folder;
    std::string error;
    if (!Cli::EngineFolder(line, folder, error)) {
        return Cli::Fail(error);
    }
    RecordingMessages messages;
    EngineCatalog catalog(folder, messages);
    catalog.Load();
    if (!catalog.UnreadablePaths().empty()) {
        return Cli::Fail(messages.text);
    }
    for (const std::string& category : catalog.SearchBarCategories()) {
        int enabled = 0;
        int all = 0;
        if (catalog.SelectCategory(category)) {
            all = catalog.EngineCount();
            for (int32_t index = 0; index < all; ++index) {
                enabled += catalog.Engine(index)->isEnabled() ? 1 : 0;
            }
        }
        std::printf("%s\t%d/%d\n", category.c_str(), enabled, all);
    }
    return Cli::kExitOk;
}
