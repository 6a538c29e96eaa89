#include "cli/CheckEngineCommand.h"

#include "cli/Cli.h"
#include "cli/EnginePageProbe.h"
#include "cli/ResultPrinter.h"
#include "cli/StderrMessageSink.h"
#include "model/EngineCatalog.h"
#include "model/EngineFile.h"
#include "search/JobQueue.h"
#include "search/QueryBuilder.h"
#include "settings/OptionsStore.h"

#include <climits>
#include <cstdio>
#include <memory>

namespace {

constexpr const char* kDefaultKeyword = "hello";
constexpr int kPagesChecked = 2;
constexpr int kResultsShown = 3;
// Exit status when the check ran and found a problem (a failed page, no results, a repeat).
constexpr int kExitProblem = 1;
constexpr long long kMillisecondsPerSecond = 1000;

const char* const kUsage =
    "usage: vantorell-search check-engine [--app-path DIR] FILE.vnp [KEYWORD]\n"
    "\n"
    "Fetches the first two result pages of one engine for KEYWORD (default \"hello\") with\n"
    "the program folder's proxy and time-out settings, and prints for each page the request,\n"
    "the status line, the time, the bytes, the number of results parsed and the first three\n"
    "results. It says plainly when a page failed, parsed to no result, or when page 2 repeats\n"
    "page 1.\n"
    "\n"
    "Exit status: 0 both pages gave distinct results, 1 a problem was found, 2 bad input.\n";

int milliseconds(int seconds) {
    const long long value = static_cast<long long>(seconds) * kMillisecondsPerSecond;
    return static_cast<int>(std::min<long long>(std::max<long long>(value, 0), INT_MAX));
}

std::string describeRequest(const SearchJob& job) {
    std::string text = job.method == SearchJob::kMethodPost ? "POST " : "GET ";
    text += job.url.view();
    if (job.method == SearchJob::kMethodPost) {
        text += " with body ";
        text += job.body.view();
    }
    if (job.useProxy) {
        text += " through the proxy ";
        text += job.proxyHost.view();
        text += ":";
        text += job.proxyPort.view();
    }
    return text;
}

// The addresses of a page's results, to compare two pages.
std::vector<std::string> addressesOf(const ResultList& results) {
    std::vector<std::string> addresses;
    for (int32_t i = 0; i < results.Count(); ++i) {
        addresses.emplace_back(results.Get(i)->address.view());
    }
    return addresses;
}

} // namespace

int CheckEngineCommand::Run(const std::vector<std::string>& words) {
    CommandLine line({"--app-path"}, {"--help"});
    if (!line.Parse(words)) {
        return Cli::Fail(line.Error());
    }
    if (line.Has("--help")) {
        return Cli::Help(kUsage);
    }
    const std::vector<std::string>& arguments = line.Arguments();
    if (arguments.empty() || arguments.size() > 2) {
        return Cli::Fail("check-engine needs FILE.vnp and at most one KEYWORD");
    }
    const OptionsStore options(Cli::ProgramFolder(line));
    const std::string path = arguments[0];
    const std::string keyword = arguments.size() > 1 ? arguments[1] : kDefaultKeyword;

    EngineDefinition engine;
    const EngineFile::ReadResult read = EngineFile::ReadEngineFile(path, engine);
    if (read == EngineFile::ReadResult::Missing) {
        return Cli::Fail("engine file " + path + " does not exist");
    }
    if (read == EngineFile::ReadResult::Unreadable) {
        return Cli::Fail("cannot read engine file " + path);
    }

    // The engine alone, as the one engine of its category, through the search's own builder.
    StderrMessageSink messages;
    EngineCatalog catalog("", messages);
    EngineDefinition enabled = engine;
    enabled.enable.set("true");
    catalog.Add(enabled);
    catalog.SelectCategory(enabled.category.view());
    JobQueue queue;
    std::vector<std::string> skipped;
    QueryBuilder::BuildJobs(catalog, keyword, QueryBuilder::ReadProxySettings(options), queue,
                            &skipped);
    if (queue.Count() == 0) {
        return Cli::Fail("the request of engine " + path + " does not fit its field");
    }

    std::printf("Engine %s (%s), keyword \"%s\"\n", engine.name.c_str(), engine.website.c_str(),
                keyword.c_str());
    bool problem = false;
    std::vector<std::string> firstPage;
    for (int page = 1; page <= kPagesChecked; ++page) {
        SearchJob job;
        if (!queue.NextJob(job)) {
            std::printf("\nPage %d\n  The engine has no page %d: its next result offset does not "
                        "fit (trunpage), so a search fetches fewer pages.\n",
                        page, page);
            problem = true;
            break;
        }
        EnginePageProbe probe(job, milliseconds(options.GetRecvTimeout()),
                              milliseconds(options.GetSendTimeout()));
        const bool fetched = probe.Fetch();
        std::printf("\nPage %d\n", page);
        std::printf("  Request: %s\n", describeRequest(job).c_str());
        std::printf("  Status:  %s\n",
                    probe.StatusLine().empty() ? "(none)" : probe.StatusLine().c_str());
        std::printf("  Time:    %.3f s\n", probe.Seconds());
        std::printf("  Bytes:   %zu\n", probe.Bytes());
        std::printf("  Results: %d\n", probe.Results().Count());
        ResultList shown;
        for (int32_t i = 0; i < probe.Results().Count() && i < kResultsShown; ++i) {
            shown.Add(*probe.Results().Get(i));
        }
        std::fflush(stdout);
        ResultPrinter(stdout).PrintFrom(shown, 0);
        if (!fetched) {
            std::printf("  The page failed: %s\n", probe.FailureText().c_str());
            problem = true;
        } else if (probe.Results().Count() == 0) {
            std::printf("  The page parsed to no result: the grammar no longer fits the "
                        "engine's answer.\n");
            problem = true;
        }
        const std::vector<std::string> addresses = addressesOf(probe.Results());
        if (page == 1) {
            firstPage = addresses;
        } else if (!addresses.empty() && addresses == firstPage) {
            std::printf("  Page 2 repeats page 1: the page turning (path tokens or trunpage) "
                        "does not reach the next page.\n");
            problem = true;
        }
    }
    std::fflush(stdout);
    return problem ? kExitProblem : Cli::kExitOk;
}
