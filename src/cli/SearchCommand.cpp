#include "cli/SearchCommand.h"

#include "cli/Cli.h"
#include "cli/CliSessionView.h"
#include "cli/EngineReportJson.h"
#include "cli/EngineReportTable.h"
#include "cli/StderrMessageSink.h"
#include "model/EngineCatalog.h"
#include "platform/AtomicFile.h"
#include "platform/ConnectionState.h"
#include "platform/UiDispatcher.h"
#include "results/ResultsDocument.h"
#include "search/CHttpSearch.h"
#include "search/SearchManager.h"
#include "search/SearchSession.h"
#include "settings/OptionsStore.h"

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

constexpr const char* kDefaultCategory = "The Web";
constexpr const char* kStoppedText = "Search Stopped";
// The search ended without accepting a single result.
constexpr int kExitNoResult = 1;
// How often the event loop looks whether Ctrl+C asked the search to stop.
constexpr int kInterruptPollMs = 50;
// How long the program waits at its end for stopped workers to let go of their threads.
constexpr int kWorkerDrainMs = 3000;

const char* const kUsage =
    "usage: vantorell-search search [--app-path DIR] [--category NAME] [--max-result N]\n"
    "                               [--max-engine N] [--search-timeout SECONDS]\n"
    "                               [--output FILE] [--report FILE] [--verbose] KEYWORD\n"
    "\n"
    "Runs one search with the settings of the program folder's propertys.ini; the options\n"
    "below replace a setting for this run only. Each accepted result is printed at once as\n"
    "one line: title, address, summary and engine separated by tabs. Every status text goes\n"
    "to stderr as its own line; the last stderr line says how the search ended (\"Search\n"
    "Completed\", \"Search Timeout\", \"Host Not Found\", or \"Search Stopped\" after Ctrl+C).\n"
    "\n"
    "  --app-path DIR           the program folder\n"
    "  --category NAME          the category to search (default \"The Web\")\n"
    "  --max-result N           results to gather (MaxResult)\n"
    "  --max-engine N           simultaneous transfers (MaxEngine)\n"
    "  --search-timeout SECONDS seconds without a new result before the search ends\n"
    "  --output FILE            save the results when the search has ended, as Save Results\n"
    "                           does: by FILE's extension a results file (vnr), a text file\n"
    "                           (txt) or an HTML page (anything else)\n"
    "  --report FILE            write the engine report as JSON when the search has ended:\n"
    "                           one object per engine with its pages, status line, bytes,\n"
    "                           times, results, duplicates, failure and whether it parsed\n"
    "                           nothing or was blocked\n"
    "  --verbose                print the engine report as a table on stderr just before\n"
    "                           the end text\n"
    "\n"
    "Exit status: 0 when at least one result was accepted, 1 when the search ended\n"
    "without one, 2 for bad input. An empty keyword, a keyword of one space, or no network\n"
    "connection prints the message and exits with status 2.\n";

std::atomic<bool> g_interrupted{false};

void onInterrupt(int) {
    g_interrupted = true;
}

bool readOverride(const CommandLine& line, const char* option, std::optional<int>& value,
                  std::string& error) {
    if (!line.Has(option)) {
        return true;
    }
    long parsed = 0;
    if (!Cli::ParsePositive(line.Value(option), parsed)) {
        error =
            std::string(option) + " needs a positive number, not \"" + line.Value(option) + "\"";
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

std::string joinKeyword(const std::vector<std::string>& words) {
    std::string keyword;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) {
            keyword += ' ';
        }
        keyword += words[i];
    }
    return keyword;
}

} // namespace

int SearchCommand::Run(const std::vector<std::string>& words) {
    CommandLine line({"--app-path", "--category", "--max-result", "--max-engine",
                      "--search-timeout", "--output", "--report"},
                     {"--help", "--verbose"});
    if (!line.Parse(words)) {
        return Cli::Fail(line.Error());
    }
    if (line.Has("--help")) {
        return Cli::Help(kUsage);
    }
    SearchSession::Overrides overrides;
    std::string error;
    if (!readOverride(line, "--max-result", overrides.maxResult, error) ||
        !readOverride(line, "--max-engine", overrides.maxEngine, error) ||
        !readOverride(line, "--search-timeout", overrides.searchTimeoutSeconds, error)) {
        return Cli::Fail(error);
    }
    const OptionsStore options(Cli::ProgramFolder(line));

    int argc = 1;
    char programName[] = "vantorell-search";
    char* argv[] = {programName, nullptr};
    QCoreApplication application(argc, argv);
    UiDispatcher::Init();

    StderrMessageSink messages;
    EngineCatalog catalog(options.ProgramFolder(), messages);
    catalog.Load();

    bool ended = false;
    CliSessionView view(joinKeyword(line.Arguments()), line.Value("--category", kDefaultCategory),
                        [&ended] {
                            ended = true;
                            // Leave the loop once the handler that ended the search has
                            // printed the end text.
                            QTimer::singleShot(0, [] { QCoreApplication::quit(); });
                        });
    const ConnectionState connection;
    SearchSession session(catalog, view, connection, options);
    session.SetOverrides(overrides);
    if (line.Has("--verbose")) {
        view.SetBeforeEnd([&session] {
            const std::string table = EngineReportTable::Table(session.Account());
            std::fwrite(table.data(), 1, table.size(), stderr);
        });
    }

    session.StartSearch();
    if (!session.IsSearching()) {
        return Cli::kExitBadInput;
    }
    for (const std::string& skipped : session.Manager()->SkippedEngines()) {
        std::fprintf(stderr, "Skipped engine %s: its request does not fit\n", skipped.c_str());
    }

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    QTimer interruptPoll;
    QObject::connect(&interruptPoll, &QTimer::timeout, [&session, &view] {
        if (g_interrupted && session.IsSearching()) {
            session.StopSearch();
            view.RunBeforeEnd();
            std::fprintf(stderr, "%s\n", kStoppedText);
        }
    });
    interruptPoll.start(kInterruptPollMs);

    if (!ended) {
        QCoreApplication::exec();
    }
    interruptPoll.stop();
    session.StopSearch();
    CHttpSearch::WaitForAllEnded(kWorkerDrainMs);
    if (line.Has("--output") &&
        !ResultsDocument::SaveResults(session.Results(), line.Value("--output"),
                                      session.CurrentKeyword())) {
        return Cli::Fail("cannot write " + line.Value("--output"));
    }
    if (line.Has("--report") &&
        !AtomicFile::Write(line.Value("--report"), EngineReportJson::Json(session.Account()))) {
        return Cli::Fail("cannot write " + line.Value("--report"));
    }
    return session.Account().AcceptedTotal() > 0 ? Cli::kExitOk : kExitNoResult;
}
