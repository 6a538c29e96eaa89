#include "cli/CheckEngineCommand.h"

#include "cli/Cli.h"
#include "cli/EnginePageProbe.h"
#include "cli/ResultPrinter.h"
#include "cli/StderrMessageSink.h"
#include "cli/TerminalText.h"
#include "extract/AddressUnwrapper.h"
#include "extract/MarkerSuggester.h"
#include "extract/PageKind.h"
#include "model/EngineCatalog.h"
#include "model/EngineFile.h"
#include "search/JobQueue.h"
#include "search/QueryBuilder.h"
#include "settings/OptionsStore.h"

#include <climits>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

constexpr const char* kDefaultKeyword = "hello";
constexpr int kPagesChecked = 2;
constexpr int kResultsShown = 3;
constexpr int kWrappedShown = 3;
constexpr std::string_view kSchemeEnd = "://";
// Exit status when the check ran and found a problem (a failed page, no results, a repeat).
constexpr int kExitProblem = 1;
constexpr long long kMillisecondsPerSecond = 1000;
// Answers by which an engine refuses this client rather than fails a request.
constexpr int kStatusForbidden = 403;
constexpr int kStatusTooManyRequests = 429;
// "HTTP/1.x " precedes the status code.
constexpr std::size_t kStatusCodeStart = 9;
constexpr std::size_t kStatusCodeDigits = 3;

// The status code of a status line; 0 without one.
int statusCodeOf(const std::string& statusLine) {
    if (statusLine.size() < kStatusCodeStart + kStatusCodeDigits ||
        statusLine.compare(0, 5, "HTTP/") != 0) {
        return 0;
    }
    int code = 0;
    for (std::size_t i = kStatusCodeStart; i < kStatusCodeStart + kStatusCodeDigits; ++i) {
        if (statusLine[i] < '0' || statusLine[i] > '9') {
            return 0;
        }
        code = code * 10 + (statusLine[i] - '0');
    }
    return code;
}

const char* const kUsage =
    "usage: vantorell-search check-engine [--app-path DIR] [--page FILE] [--suggest]\n"
    "                                     FILE.vnp [KEYWORD]\n"
    "\n"
    "Fetches the first two result pages of one engine for KEYWORD (default \"hello\") with\n"
    "the program folder's proxy and time-out settings, and prints for each page the request,\n"
    "the status line, the time, the bytes, the number of results parsed and the first three\n"
    "results. It says plainly when a page failed, parsed to no result, or when page 2 repeats\n"
    "page 1; when the page is a challenge (a check for robots), a consent page or a page built\n"
    "by scripts rather than results; and which result addresses still look like an engine's\n"
    "redirect after cleaning (at most three a page).\n"
    "\n"
    "  --page FILE  check a saved answer page instead of fetching (no network, one page)\n"
    "  --suggest    for a page that parsed to nothing, suggest the text in front of each\n"
    "               result link that a grammar could start with (the engine file is not\n"
    "               changed)\n"
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

// The host of an absolute address; empty without one.
std::string hostOf(std::string_view url) {
    const std::size_t schemeEnd = url.find(kSchemeEnd);
    if (schemeEnd == std::string_view::npos) {
        return {};
    }
    url.remove_prefix(schemeEnd + kSchemeEnd.size());
    return std::string(url.substr(0, url.find_first_of("/?#:")));
}

bool readFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    bytes = text.str();
    return !in.bad();
}

void printSuggestion(std::string_view page, const std::string& ownHost) {
    const MarkerSuggester::Suggestion suggestion = MarkerSuggester::Suggest(page, ownHost);
    if (!suggestion.found) {
        std::printf("  Suggestion: no repeating marker found in front of the links to other "
                    "sites.\n");
        return;
    }
    std::printf("  Suggested start marker: %s\n", suggestion.startMarker.c_str());
    if (suggestion.afterAddress.empty()) {
        std::printf("  Between the address and the title: the links differ there.\n");
    } else {
        std::printf("  Between the address and the title: %s\n", suggestion.afterAddress.c_str());
    }
}

// Prints what a page's contents tell about the engine: the first results, what kind of page
// it is, addresses still wrapped, and (asked for) a suggested marker. True on a problem.
bool printFindings(const EnginePageProbe& probe, bool fetched, bool suggest,
                   const std::string& ownHost) {
    ResultList shown;
    for (int32_t i = 0; i < probe.Results().Count() && i < kResultsShown; ++i) {
        shown.Add(*probe.Results().Get(i));
    }
    std::fflush(stdout);
    ResultPrinter(stdout).PrintFrom(shown, 0);
    if (!fetched) {
        std::printf("  The page failed: %s\n", probe.FailureText().c_str());
        return true;
    }
    bool problem = false;
    // A page that parsed results is a page of results, whatever words it holds.
    const PageKind::Kind kind =
        probe.Results().Count() == 0 ? PageKind::Classify(probe.Page()) : PageKind::Kind::Results;
    if (kind != PageKind::Kind::Results) {
        std::printf("  %s\n", PageKind::Describe(kind));
        problem = true;
    } else if (probe.Results().Count() == 0) {
        std::printf("  The page parsed to no result: the grammar no longer fits the "
                    "engine's answer.\n");
        problem = true;
    }
    int wrapped = 0;
    for (int32_t i = 0; i < probe.Results().Count() && wrapped < kWrappedShown; ++i) {
        const std::string_view address = probe.Results().Get(i)->address.view();
        if (AddressUnwrapper::LooksWrapped(address)) {
            std::printf("  Address still wrapped: %.*s\n", static_cast<int>(address.size()),
                        address.data());
            ++wrapped;
            problem = true;
        }
    }
    if (suggest && kind == PageKind::Kind::Results && probe.Results().Count() == 0) {
        printSuggestion(probe.Page(), ownHost);
    }
    return problem;
}

} // namespace

int CheckEngineCommand::Run(const std::vector<std::string>& words) {
    CommandLine line({"--app-path", "--page"}, {"--help", "--suggest"});
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
    std::string engineError;
    if (!Cli::ReadEngine(path, engine, engineError)) {
        return Cli::Fail(engineError);
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

    const bool suggest = line.Has("--suggest");
    if (line.Has("--page")) {
        const std::string saved = line.Value("--page");
        std::string bytes;
        if (!readFile(saved, bytes)) {
            return Cli::Fail("cannot read saved page " + saved);
        }
        SearchJob job;
        queue.NextJob(job);
        EnginePageProbe probe(job, 0, 0);
        probe.ParseSaved(bytes);
        std::printf("Engine %s (%s), saved page %s\n", engine.name.c_str(), engine.website.c_str(),
                    saved.c_str());
        std::printf("\nPage 1\n");
        std::printf("  Request: (saved page) %s\n", saved.c_str());
        std::printf("  Status:  (saved page)\n");
        std::printf("  Time:    (saved page)\n");
        std::printf("  Bytes:   %zu\n", probe.Bytes());
        std::printf("  Results: %d\n", probe.Results().Count());
        const bool problem = printFindings(probe, true, suggest, hostOf(job.url.view()));
        std::fflush(stdout);
        return problem ? kExitProblem : Cli::kExitOk;
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
        std::printf("  Status:  %s\n", probe.StatusLine().empty()
                                           ? "(none)"
                                           : TerminalText::Escape(probe.StatusLine()).c_str());
        std::printf("  Time:    %.3f s\n", probe.Seconds());
        std::printf("  Bytes:   %zu\n", probe.Bytes());
        std::printf("  Results: %d\n", probe.Results().Count());
        const int status = statusCodeOf(probe.StatusLine());
        if (status == kStatusForbidden || status == kStatusTooManyRequests) {
            // Asking again would only lengthen the block.
            std::printf("  The engine blocks this client (%d): no grammar can mend that, and "
                        "no further page is asked.\n",
                        status);
            problem = true;
            break;
        }
        if (printFindings(probe, fetched, suggest, hostOf(job.url.view()))) {
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
