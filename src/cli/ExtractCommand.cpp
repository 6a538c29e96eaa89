#include "cli/ExtractCommand.h"

#include "cli/Cli.h"
#include "cli/ResultPrinter.h"
#include "extract/ResultExtractor.h"
#include "model/EngineFile.h"
#include "search/QueryBuilder.h"

#include <algorithm>
#include <cstdio>
#include <strings.h>

namespace {

// The size of the pieces the HTTP client hands on.
constexpr long kDefaultPieceSize = 4095;

const char* const kUsage =
    "usage: vantorell-search extract --engine FILE.vnp --page FILE [--site-root ROOT]\n"
    "                                [--chunk N] [--raw-addresses] [--app-path DIR]\n"
    "\n"
    "Runs the engine's grammar over a saved answer page, fed in pieces of N bytes (default\n"
    "4095), and prints each result as one line: title, address, summary and engine separated\n"
    "by tabs. Bytes are printed as they are, without transcoding. Addresses that a search\n"
    "engine wraps in a redirect of its own are turned into their targets, as a search does.\n"
    "\n"
    "  --engine FILE    the engine definition file (.vnp)\n"
    "  --page FILE      the saved answer page\n"
    "  --site-root ROOT the prefix of relative addresses (default: the engine's request\n"
    "                   address cut before the first \"/\" after the host; \"\" for none)\n"
    "  --chunk N        the piece size in bytes\n"
    "  --raw-addresses  print redirect addresses as the page gives them\n"
    "  --app-path DIR   the program folder\n";

// The request address a search makes for this engine, with its tokens still in it: website and
// path for GET, website alone for POST (whose query goes in the body).
std::string requestAddress(const EngineDefinition& engine) {
    std::string address(engine.website.view());
    if (strcasecmp(engine.method.c_str(), "POST") != 0) {
        address += engine.path.view();
    }
    return address;
}

} // namespace

int ExtractCommand::Run(const std::vector<std::string>& words) {
    CommandLine line({"--engine", "--page", "--site-root", "--chunk", "--app-path"},
                     {"--help", "--raw-addresses"});
    if (!line.Parse(words)) {
        return Cli::Fail(line.Error());
    }
    if (line.Has("--help")) {
        return Cli::Help(kUsage);
    }
    if (!line.Arguments().empty()) {
        return Cli::Fail("extract takes no argument: " + line.Arguments().front());
    }
    if (!line.Has("--engine")) {
        return Cli::Fail("extract needs --engine FILE.vnp");
    }
    if (!line.Has("--page")) {
        return Cli::Fail("extract needs --page FILE");
    }
    long pieceSize = kDefaultPieceSize;
    if (line.Has("--chunk") && !Cli::ParsePositive(line.Value("--chunk"), pieceSize)) {
        return Cli::Fail("--chunk needs a positive number of bytes, not \"" +
                         line.Value("--chunk") + "\"");
    }

    const std::string enginePath = line.Value("--engine");
    EngineDefinition engine;
    std::string engineError;
    if (!Cli::ReadEngine(enginePath, engine, engineError)) {
        return Cli::Fail(engineError);
    }
    std::string page;
    std::string error;
    if (!Cli::ReadWholeFile(line.Value("--page"), page, error)) {
        return Cli::Fail("cannot read page " + error);
    }

    ResultExtractor extractor;
    extractor.SetGrammar(QueryBuilder::ExpandGrammar(engine.grm.view()));
    extractor.SetEngineName(engine.name.view());
    extractor.SetUnwrapAddresses(!line.Has("--raw-addresses"));
    if (line.Has("--site-root")) {
        extractor.SetSiteRoot(line.Value("--site-root"));
    } else {
        extractor.SetSiteRoot(ResultExtractor::SiteRootFromUrl(requestAddress(engine)));
    }

    ResultList results;
    ResultPrinter printer(stdout);
    const std::size_t piece = static_cast<std::size_t>(pieceSize);
    for (std::size_t offset = 0; offset < page.size(); offset += piece) {
        const std::size_t size = std::min(piece, page.size() - offset);
        extractor.AppendInput(page.data() + offset, size);
        const int32_t before = results.Count();
        extractor.Feed(results);
        printer.PrintFrom(results, before);
    }
    return Cli::kExitOk;
}
