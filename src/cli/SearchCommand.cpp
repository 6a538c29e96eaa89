#include "cli/SearchCommand.h"

#include "cli/Cli.h"
#include "cli/CliSessionView.h"
#include "cli/EngineChoice.h"
#include "cli/EngineReportJson.h"
#include "cli/EngineReportTable.h"
#include "cli/ScriptFormat.h"
#include "cli/StderrMessageSink.h"
#include "cli/TerminalText.h"
#include "model/EngineCatalog.h"
#include "platform/AtomicFile.h"
#include "platform/ConnectionState.h"
#include "platform/UiDispatcher.h"
#include "results/ResultsDocument.h"
#include "search/CHttpSearch.h"
#include "search/EngineAccount.h"
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
// The orders in which the results are listed.
constexpr const char* kArrivalOrder = "arrival";
constexpr const char* kRelevanceOrder = "relevance";
// The search ended without accepting a single result.
constexpr int kExitNoResult = 1;
// How often the event loop looks whether Ctrl+C asked the search to stop.
constexpr int kInterruptPollMs = 50;
// How long the program waits at its end for stopped workers to let go of their threads.
constexpr int kWorkerDrainMs = 3000;

const char* const kUsage =
    "usage: vantorell-search search [--app-path DIR] [--category NAME] [--max-result N]\n"
    "                               [--max-engine N] [--search-timeout SECONDS]\n"
    "                               [--output FILE] [--report FILE] [--verbose]\n"
    "                               [--order arrival|relevance] [--format tsv|json|csv]\n"
    "                               [--engine NAME]... KEYWORD\n"
    "\n"
    "Runs one search with the settings of the program folder's propertys.ini; the options\n"
    "below replace a setting for this run only. Each accepted result is printed at once as\n"
    "one line: title, address, summary and engine separated by tabs. On stderr come one\n"
    "line per engine that failed, was blocked, parsed nothing or rested (\"NAME: STATE\n"
    "(STATUS LINE)\"), and last how the search ended (\"Search Completed\", \"Search\n"
    "Timeout\", \"Host Not Found\", or \"Search Stopped\" after Ctrl+C).\n"
    "The search ends as soon as every engine is done: out of pages, or refused (an answer\n"
    "other than 2xx, a challenge, a page without results) or failed once; it is not asked\n"
    "again in that search.\n"
    "\n"
    "  --app-path DIR           the program folder\n"
    "  --category NAME          the category to search (default \"The Web\")\n"
    "  --max-result N           results to gather (MaxResult)\n"
    "  --max-engine N           simultaneous transfers (MaxEngine)\n"
    "  --search-timeout SECONDS seconds without a new result before the search ends\n"
    "  --output FILE            save the results when the search has ended, as Save Results\n"
    "                           does: by FILE's extension a results file (vnr), a text file\n"
    "                           (txt), JSON (json), CSV (csv) or an HTML page (anything\n"
    "                           else)\n"
    "  --report FILE            write the engine report as JSON when the search has ended:\n"
    "                           one object per engine with its pages, status line, bytes,\n"
    "                           times, results, duplicates, failure and whether it parsed\n"
    "                           nothing or was blocked\n"
    "  --verbose                print every status text on stderr as well (an engine's\n"
    "                           notices after its name), and the engine report as a table\n"
    "                           just before the end text\n"
    "  --order relevance        print the results when the search has ended, one per page,\n"
    "                           the pages the engines agree on first (reciprocal rank\n"
    "                           fusion: the sum over the engines that listed a page of\n"
    "                           1 / (60 + its rank in that engine's list)); --output saves\n"
    "                           them in that order. The default, arrival, prints each\n"
    "                           result as it is accepted\n"
    "  --format tsv|json|csv    how results are printed: tab-separated lines (default), or\n"
    "                           when the search has ended a JSON array of objects (title,\n"
    "                           address, summary, engines, ranks, score) or CSV with the\n"
    "                           header title,address,summary,engines\n"
    "  --engine NAME            search the engine of that name, whatever its category and\n"
    "                           whether its file switches it on; repeat for more engines\n"
    "\n"
    "Exit status: 0 when at least one result was accepted, 1 when the search ended\n"
    "without one, 2 for bad input. An empty keyword, a keyword of one space, no network\n"
    "connection, or a category without an enabled (not resting) engine prints the message\n"
    "and exits with status 2.\n";

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

// One line per engine that failed, was blocked, parsed nothing or rested: its name, its state
// and the last status line, such as "Busy: blocked (HTTP/1.0 429 Too Many Requests)".
void printTroubles(const EngineAccount& account) {
    for (const EngineRecord& record : account.Records()) {
        const bool trouble = record.state == EngineRecord::State::Failed ||
                             record.state == EngineRecord::State::Blocked ||
                             record.state == EngineRecord::State::ParsedNothing ||
                             record.state == EngineRecord::State::Resting;
        if (!trouble) {
            continue;
        }
        std::string line = record.name + ": " + EngineAccount::StateText(record);
        if (!record.statusLine.empty()) {
            line += " (" + record.statusLine + ")";
        }
        // The status line and the name come from outside: no byte of theirs may drive the
        // terminal.
        std::fprintf(stderr, "%s\n", TerminalText::Escape(line).c_str());
    }
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

// Names the category that has no engine to ask, and the categories the folder has.
std::string noEngineText(const EngineCatalog& catalog, const std::string& category) {
    std::string text = "no enabled engine to search in category \"" + category +
                       "\"; the program folder's categories are:";
    for (int32_t group = 0; group < catalog.CategoryCount(); ++group) {
        text += group == 0 ? " \"" : ", \"";
        text += catalog.CategoryName(group);
        text += '"';
    }
    return text;
}

} // namespace

int SearchCommand::Run(const std::vector<std::string>& words) {
    CommandLine line({"--app-path", "--category", "--max-result", "--max-engine",
                      "--search-timeout", "--output", "--report", "--order", "--format",
                      "--engine"},
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
    std::string programFolder;
    if (!Cli::EngineFolder(line, programFolder, error)) {
        return Cli::Fail(error);
    }
    const std::string order = line.Value("--order", kArrivalOrder);
    if (order != kArrivalOrder && order != kRelevanceOrder) {
        return Cli::Fail("--order is arrival or relevance, not \"" + order + "\"");
    }
    ScriptFormat::Kind format = ScriptFormat::Kind::Tsv;
    if (!ScriptFormat::Parse(line.Value("--format", "tsv"), format)) {
        return Cli::Fail(std::string("--format is ") + ScriptFormat::kNames);
    }
    const bool byRelevance = order == kRelevanceOrder;
    const OptionsStore options(programFolder);

    int argc = 1;
    char programName[] = "vantorell-search";
    char* argv[] = {programName, nullptr};
    QCoreApplication application(argc, argv);
    UiDispatcher::Init();

    StderrMessageSink messages;
    EngineCatalog catalog(options.ProgramFolder(), messages);
    catalog.Load();
    const std::vector<std::string> engines = line.Values("--engine");
    EngineCatalog chosen(options.ProgramFolder(), messages);
    if (!engines.empty() && !EngineChoice::Pick(catalog, engines, chosen, error)) {
        return Cli::Fail(error);
    }

    bool ended = false;
    const bool verbose = line.Has("--verbose");
    CliSessionView view(joinKeyword(line.Arguments()),
                        engines.empty() ? line.Value("--category", kDefaultCategory)
                                        : EngineChoice::kCategory,
                        verbose, [&ended] {
                            ended = true;
                            // Leave the loop once the handler that ended the search has
                            // printed the end text.
                            QTimer::singleShot(0, [] { QCoreApplication::quit(); });
                        });
    const ConnectionState connection;
    SearchSession session(engines.empty() ? catalog : chosen, view, connection, options);
    session.SetOverrides(overrides);
    session.SetEngineChoice(engines);
    view.SetStreaming(!byRelevance && format == ScriptFormat::Kind::Tsv);
    view.SetBeforeEnd([&session, verbose] {
        if (verbose) {
            const std::string table = EngineReportTable::Table(session.Account());
            std::fwrite(table.data(), 1, table.size(), stderr);
        }
        printTroubles(session.Account());
    });

    session.StartSearch();
    if (session.HadNoEngine()) {
        return Cli::Fail(noEngineText(catalog, view.Category()));
    }
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
    session.WaitForHealth();
    std::vector<const RelevanceRanking::Page*> pages;
    const ResultList listed =
        byRelevance ? session.Ranking().Merged(session.Results(), pages) : session.Results();
    if (!byRelevance) {
        for (int32_t row = 0; row < listed.Count(); ++row) {
            pages.push_back(session.Ranking().Find(listed.Get(row)->address.view()));
        }
    }
    if (!view.IsStreaming()) {
        const std::string bytes = ScriptFormat::Bytes(format, listed, pages);
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    }
    if (line.Has("--output") && !ResultsDocument::SaveResults(listed, line.Value("--output"),
                                                              session.CurrentKeyword(), pages)) {
        return Cli::Fail("cannot write " + line.Value("--output"));
    }
    if (line.Has("--report") &&
        !AtomicFile::Write(line.Value("--report"), EngineReportJson::Json(session.Account()))) {
        return Cli::Fail("cannot write " + line.Value("--report"));
    }
    return session.Account().AcceptedTotal() > 0 ? Cli::kExitOk : kExitNoResult;
}
