#include "cli/ConvertCommand.h"

#include "cli/Cli.h"
#include "cli/OutputFormat.h"
#include "platform/AtomicFile.h"
#include "results/ResultExport.h"
#include "results/ResultsDocument.h"

#include <cstdio>
#include <filesystem>

namespace {

// The number of plain arguments: the results file and, without --browse, the output.
constexpr std::size_t kArgumentsWithOutput = 2;
constexpr std::size_t kArgumentsWithBrowse = 1;
constexpr std::size_t kInputArgument = 0;
constexpr std::size_t kOutputArgument = 1;
constexpr std::string_view kFolderSeparator = "/";
// The output that means standard output.
constexpr std::string_view kStandardOutput = "-";
// The format of standard output when --format does not choose one.
constexpr std::string_view kDefaultFormat = "html";

const char* const kUsage =
    "usage: vantorell-search convert [--format F] IN.vnr OUT\n"
    "       vantorell-search convert IN.vnr --browse DIR\n"
    "\n"
    "Reads a results file and writes its results as Save Results does, by the extension of\n"
    "OUT in any letter case: \"vnr\" a results file, \"txt\" a text file, \"json\" a JSON\n"
    "array, \"csv\" comma-separated values, anything else an HTML page. OUT \"-\" writes to\n"
    "standard output. An existing OUT is replaced only once the new file is complete.\n"
    "\n"
    "  --format F    write format F whatever OUT's extension (the default of \"-\" is html):\n"
    "                html, txt, vnr, tsv (a line of tab-separated fields per result), json\n"
    "                or csv\n"
    "  --browse DIR  write the three pages of \"Browse...\" into DIR instead: htmtemp.htm\n"
    "                (the frameset), htmtempt.htm and htmtempb.htm\n"
    "\n"
    "A missing input, a file that is not a results file, or an output that cannot be\n"
    "written prints one line on stderr and exits with status 2; nothing is written then.\n";

int writeBrowsePages(const ResultList& list, const std::string& folder) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        return Cli::Fail("browse folder " + folder + " does not exist");
    }
    // The frameset names its pages by their whole paths, so a relative folder is made
    // absolute: else each frame would be looked for in the folder once more.
    const std::string absolute = std::filesystem::absolute(folder, error).string();
    const std::string path = (error ? folder : absolute) + std::string(kFolderSeparator) +
                             std::string(ResultsDocument::kBrowseFileName);
    if (!ResultExport::WriteBrowsePages(list, path)) {
        return Cli::Fail("cannot write the browse pages into " + folder);
    }
    return Cli::kExitOk;
}

} // namespace

int ConvertCommand::Run(const std::vector<std::string>& words) {
    CommandLine line({"--browse", "--format"}, {"--help"});
    if (!line.Parse(words)) {
        return Cli::Fail(line.Error());
    }
    if (line.Has("--help")) {
        return Cli::Help(kUsage);
    }
    const bool browse = line.Has("--browse");
    const std::size_t wanted = browse ? kArgumentsWithBrowse : kArgumentsWithOutput;
    if (line.Arguments().size() != wanted) {
        return Cli::Fail(browse ? "convert --browse DIR takes one results file"
                                : "convert needs a results file and an output file");
    }
    const OutputFormat* format = nullptr;
    if (line.Has("--format")) {
        format = OutputFormat::Find(line.Value("--format"));
        if (format == nullptr) {
            return Cli::Fail("unknown format " + line.Value("--format") +
                             " (formats: " + OutputFormat::Names() + ")");
        }
    }
    const std::string input = line.Arguments()[kInputArgument];
    ResultList list;
    std::string error;
    if (!Cli::ReadResults(input, list, error)) {
        return Cli::Fail(error);
    }
    if (browse) {
        return writeBrowsePages(list, line.Value("--browse"));
    }

    const std::string output = line.Arguments()[kOutputArgument];
    if (output == kStandardOutput) {
        const OutputFormat* chosen =
            format != nullptr ? format : OutputFormat::Find(kDefaultFormat);
        const std::string bytes = chosen->bytes(list);
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
        if (!written || std::fflush(stdout) != 0) {
            return Cli::Fail("cannot write standard output");
        }
        return Cli::kExitOk;
    }
    const bool saved = format != nullptr ? AtomicFile::Write(output, format->bytes(list))
                                         : ResultsDocument::SaveResults(list, output);
    if (!saved) {
        return Cli::Fail("cannot write " + output);
    }
    return Cli::kExitOk;
}
