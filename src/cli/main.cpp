// vantorell-search: the headless front end. It runs the same core as the window on the same
// program folder and settings, for scripts, tests and users without a display.

#include "cli/CategoriesCommand.h"
#include "cli/CheckEngineCommand.h"
#include "cli/Cli.h"
#include "cli/ConvertCommand.h"
#include "cli/EnginesCommand.h"
#include "cli/ExtractCommand.h"
#include "cli/SearchCommand.h"
#include "cli/StderrMessageSink.h"
#include "cli/ValidateCommand.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "usage: vantorell-search VERB [OPTIONS]\n"
    "\n"
    "       vantorell-search --version | -h | --help\n"
    "\n"
    "Verbs:\n"
    "  categories  list the categories of the program folder with their engines\n"
    "  convert   write a results file as an HTML page, a text file or the browse pages\n"
    "  engines   list the engines of the program folder\n"
    "  extract   run an engine's grammar over a saved answer page\n"
    "  search    run a whole search and print its results\n"
    "  check-engine  fetch two result pages of one engine and report what they gave\n"
    "  validate  check addresses with a HEAD request each\n"
    "\n"
    "\"vantorell-search VERB --help\" describes each verb.\n"
    "\n"
    "Exit status:\n"
    "  0  done\n"
    "  1  the verb ran and found nothing or a problem (a search without a result, an\n"
    "     engine check that found a fault)\n"
    "  2  bad input: a missing or unreadable file, a bad option, a program folder without\n"
    "     engines; nothing has been written then\n";

const char* const kVersionText = "vantorell-search " VANTORELL_VERSION "\n";

} // namespace

int main(int argc, char** argv) {
    StderrMessageSink messages;
    MessageSink::setProcessDefault(&messages);
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        std::fputs(kUsage, stderr);
        return Cli::kExitBadInput;
    }
    const std::string verb = words.front();
    words.erase(words.begin());
    if (verb == "--help" || verb == "-h" || verb == "help") {
        return Cli::Help(kUsage);
    }
    if (verb == "--version") {
        return Cli::Help(kVersionText);
    }
    if (verb == "categories") {
        return CategoriesCommand::Run(words);
    }
    if (verb == "convert") {
        return ConvertCommand::Run(words);
    }
    if (verb == "engines") {
        return EnginesCommand::Run(words);
    }
    if (verb == "extract") {
        return ExtractCommand::Run(words);
    }
    if (verb == "search") {
        return SearchCommand::Run(words);
    }
    if (verb == "check-engine") {
        return CheckEngineCommand::Run(words);
    }
    if (verb == "validate") {
        return ValidateCommand::Run(words);
    }
    return Cli::Fail("unknown verb " + verb + " (try --help)");
}
