#include "cli/ConvertCommand.h"

#include "cli/Cli.h"
#include "cli/ScriptFormat.h"
#include "cli/StderrMessageSink.h"
#include "platform/AtomicFile.h"
#include "results/ResultExport.h"
#include "results/ResultsDocument.h"
#include "results/ResultsFile.h"

#include <filesystem>

namespace {

// The number of plain arguments: the results file and, without --browse, the output.
constexpr std::size_t kArgumentsWithOutput = 2;
constexpr std::size_t kArgumentsWithBrowse = 1;
constexpr std::size_t kInputArgument = 0;
constexpr std::size_t kOutputArgument = 1;
constexpr std::string_view kFolderSeparator = "/";

const char* const kUsage =
    "usage: vantorell-search convert [--format tsv|json|csv] IN.vnr OUT\n"
    "       vantorell-search convert IN.vnr --browse DIR\n"
    "\n"
    "Reads a results file and writes its results as Save Results does, by the extension of\n"
    "OUT in any letter case: \"vnr\" a results file, \"txt\" a text file, \"json\" a JSON\n"
    "array, \"csv\" comma-separated values, anything else an HTML page. An existing OUT is\n"
    "replaced only once the new file is complete.\n"
    "\n"
    "  --format FORM  write OUT in that form whatever its extension: tsv (a line of tab-\n"
    "                separated fields per result), json or csv\n"
    "  --browse DIR  write the three pages of \"Browse...\" into DIR instead: htmtemp.htm\n"
    "                (the frameset), htmtempt.htm and htmtempb.htm\n"
    "\n"
    "A missing input, a file that is not a results file, or an output that cannot be\n"
    "written prints one line on stderr and exits with status 2; nothing is written then.\n";

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
    ScriptFormat::Kind format = ScriptFormat::Kind::Tsv;
    if (line.Has("--format") && !ScriptFormat::Parse(line.Value("--format"), format)) {
        return Cli::Fail(std::string("--format is ") + ScriptFormat::kNames);
    }
    const std::string input = line.Arguments()[kInputArgument];
    std::string browseFolder;
    if (browse) {
        browseFolder = line.Value("--browse");
        std::error_code error;
        if (!std::filesystem::is_directory(browseFolder, error)) {
            return Cli::Fail("browse folder " + browseFolder + " does not exist");
        }
    }

    ResultList list;
    const ResultsFile::ReadResult read = ResultsFile::ReadResultsFile(list, input);
    if (read == ResultsFile::ReadResult::Missing) {
        return Cli::Fail("results file " + input + " does not exist");
    }
    if (read == ResultsFile::ReadResult::Unreadable) {
        StderrMessageSink messages;
        messages.showMessage(MessageSink::kWarningCaption, ResultsFile::kUnreadableMessage);
        return Cli::kExitBadInput;
    }

    if (browse) {
        const std::string path = browseFolder + std::string(kFolderSeparator) +
                                 std::string(ResultsDocument::kBrowseFileName);
        if (!ResultExport::WriteBrowsePages(list, path)) {
            return Cli::Fail("cannot write the browse pages into " + browseFolder);
        }
        return Cli::kExitOk;
    }
    const std::string output = line.Arguments()[kOutputArgument];
    const bool written = line.Has("--format")
                             ? AtomicFile::Write(output, ScriptFormat::Bytes(format, list))
                             : ResultsDocument::SaveResults(list, output);
    if (!written) {
        return Cli::Fail("cannot write " + output);
    }
    return Cli::kExitOk;
}
