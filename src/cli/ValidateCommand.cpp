#include "cli/ValidateCommand.h"

#include "cli/Cli.h"
#include "cli/ValidationPrinter.h"
#include "platform/UiDispatcher.h"
#include "results/CURLCheck.h"
#include "results/LinkCheckManager.h"
#include "results/ResultsFile.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <iostream>
#include <iterator>

#include <unistd.h>

namespace {

constexpr const char* kStandardInput = "-";
// How long the program waits at its end for the last checkers to let go of their threads.
constexpr int kCheckerDrainMs = 3000;

const char* const kUsage =
    "usage: vantorell-search validate [FILE.vnr | -]\n"
    "\n"
    "Checks every address of the results file, or of standard input (\"-\" or no argument)\n"
    "one address per line, with a HEAD request, at most eight at once, and prints one line\n"
    "per address in input order: the state, a tab and the address. States: 1 valid (status\n"
    "200 to 299), 2 invalid (400 to 499), 3 unknown (any other status, no status, or a\n"
    "failed exchange). Redirections are not followed. Empty input lines are skipped.\n"
    "\n"
    "A missing or unreadable file prints one line naming it on stderr and exits with\n"
    "status 2.\n";

// One address per line; a CR before the line feed is dropped and empty lines are skipped.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            lines.push_back(std::move(line));
        }
        begin = end + 1;
    }
    return lines;
}

bool readStandardInput(std::vector<std::string>& addresses, std::string& error) {
    const std::string text((std::istreambuf_iterator<char>(std::cin)),
                           std::istreambuf_iterator<char>());
    if (std::cin.bad()) {
        error = "cannot read standard input";
        return false;
    }
    addresses = splitLines(text);
    return true;
}

bool readResultsFile(const std::string& path, std::vector<std::string>& addresses,
                     std::string& error) {
    ResultList results;
    if (!Cli::ReadResults(path, results, error)) {
        return false;
    }
    for (int32_t i = 0; i < results.Count(); ++i) {
        addresses.push_back(results.Get(i)->address.str());
    }
    return true;
}

// Checks the addresses and prints their states; returns when every check has ended.
void validate(const std::vector<std::string>& addresses) {
    int argc = 1;
    char programName[] = "vantorell-search";
    char* argv[] = {programName, nullptr};
    QCoreApplication application(argc, argv);
    UiDispatcher::Init();

    // Leave the loop once the hand-over that ended the last check has returned.
    ValidationPrinter printer(stdout, addresses,
                              [] { QTimer::singleShot(0, [] { QCoreApplication::quit(); }); });
    LinkCheckManager manager;
    manager.SetTarget(&printer);
    for (std::size_t row = 0; row < addresses.size(); ++row) {
        manager.Add(addresses[row], static_cast<int32_t>(row));
    }
    manager.StartChecks();
    QCoreApplication::exec();
    manager.StopAll();
    CURLCheck::WaitForAllEnded(kCheckerDrainMs);
}

} // namespace

int ValidateCommand::Run(const std::vector<std::string>& words) {
    CommandLine line({}, {"--help"});
    if (!line.Parse(words)) {
        return Cli::Fail(line.Error());
    }
    if (line.Has("--help")) {
        return Cli::Help(kUsage);
    }
    if (line.Arguments().size() > 1) {
        return Cli::Fail("validate takes one file at most: " + line.Arguments()[1]);
    }
    if (line.Arguments().empty() && ::isatty(STDIN_FILENO) != 0) {
        // Nothing to read but what a person would type: say how to use the verb instead.
        std::fputs(kUsage, stderr);
        return Cli::kExitBadInput;
    }
    std::vector<std::string> addresses;
    std::string error;
    const bool fromInput = line.Arguments().empty() || line.Arguments().front() == kStandardInput;
    const bool read = fromInput ? readStandardInput(addresses, error)
                                : readResultsFile(line.Arguments().front(), addresses, error);
    if (!read) {
        return Cli::Fail(error);
    }
    if (!addresses.empty()) {
        validate(addresses);
    }
    return Cli::kExitOk;
}
