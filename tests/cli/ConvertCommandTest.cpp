#include "cli/CliRunner.h"

#include "results/ResultExport.h"
#include "results/ResultsFile.h"

#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

namespace {

ResultList sampleResults() {
    ResultList list;
    list.Add("First <b>", "http://a.example/", "one\ntwo", "Alpha");
    list.Add("Second", "javascript:alert(1)", "", "Beta");
    return list;
}

} // namespace

TEST(ConvertCommand, WritesEachFormatAndTheBrowsePages) {
    TempDir dir;
    const ResultList list = sampleResults();
    const std::string input = dir.file("in.vnr");
    ASSERT_TRUE(ResultsFile::WriteResultsFile(list, input));
    writeFileBytes(dir.file("out.TXT"), "an older file");

    struct Case {
        std::string output;
        std::string expected;
    };
    const Case cases[] = {
        {"out.TXT", ResultExport::TextFileBytes(list)},
        {"out.htm", ResultExport::HtmlPageBytes(list)},
        {"out", ResultExport::HtmlPageBytes(list)},
        {"copy.VnR", readFileBytes(input)},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli({"convert", input, dir.file(c.output)});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out + run.err, "");
        EXPECT_EQ(readFileBytes(dir.file(c.output)), c.expected) << c.output;
    }

    std::filesystem::create_directory(dir.file("browse"));
    // A link at one of the page names is replaced by the page; the file it points to stays.
    writeFileBytes(dir.file("victim"), "precious");
    std::filesystem::create_symlink(dir.file("victim"), dir.file("browse/htmtempb.htm"));
    const CliRun browse = runCli({"convert", input, "--browse", dir.file("browse")});
    ASSERT_EQ(browse.exitCode, 0) << browse.err;
    const std::string frameset = dir.file("browse/htmtemp.htm");
    EXPECT_EQ(readFileBytes(frameset), ResultExport::BrowseFramesetBytes(frameset));
    EXPECT_EQ(readFileBytes(dir.file("browse/htmtempt.htm")), ResultExport::BrowseTopPageBytes());
    EXPECT_FALSE(std::filesystem::is_symlink(dir.file("browse/htmtempb.htm")));
    EXPECT_EQ(readFileBytes(dir.file("browse/htmtempb.htm")),
              ResultExport::BrowseListPageBytes(list));
    EXPECT_EQ(readFileBytes(dir.file("victim")), "precious");
}

TEST(ConvertCommand, BadInputExitsTwoAndLeavesTheOutputAlone) {
    TempDir dir;
    writeFileBytes(dir.file("out.htm"), "kept");
    ASSERT_TRUE(ResultsFile::WriteResultsFile(sampleResults(), dir.file("in.vnr")));
    struct Case {
        std::vector<std::string> words;
        std::string err;
    };
    const Case cases[] = {
        {{"convert", dir.file("in.vnr")}, "output"},
        {{"convert", dir.file("in.vnr"), "--browse", dir.file("nowhere")}, "nowhere"},
        {{"convert", dir.file("in.vnr"), dir.file("nowhere/out.htm")}, "nowhere/out.htm"},
        {{"convert", dir.file("in.vnr"), dir.file("out.htm"), "--format", "x"}, "format x"},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(c.words);
        EXPECT_EQ(run.exitCode, 2) << c.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(lineCount(run.err), 1) << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    }
    EXPECT_EQ(readFileBytes(dir.file("out.htm")), "kept");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);
    EXPECT_EQ(runCli({"convert", "--help"}).exitCode, 0);
}

// Every verb that reads a results file refuses one in the same words, naming it and the cause;
// whole records before an incomplete one are read, with a note.
TEST(ConvertCommand, RefusedResultsFilesNameThePathAndTheCause) {
    TempDir dir;
    writeFileBytes(dir.file("nul.vnr"), std::string(22, '\0'));
    writeFileBytes(dir.file("bad.vnr"), std::string(1221, 'x'));
    writeFileBytes(dir.file("locked.vnr"), "");
    std::filesystem::permissions(dir.file("locked.vnr"), std::filesystem::perms::none);
    std::vector<std::pair<std::string, std::string>> causes = {
        {dir.file("none.vnr"), "no such file"},
        {dir.path(), "is a folder"},
        {dir.file("nul.vnr"), "not a results file"},
        {dir.file("bad.vnr"), "not a results file"},
        {"/dev/null", "not a results file"}};
    if (::geteuid() != 0) {
        causes.emplace_back(dir.file("locked.vnr"), "permission denied");
    }
    for (const auto& [path, cause] : causes) {
        const std::string expected = "vantorell-search: " + path + ": " + cause + "\n";
        for (const CliRun& run : {runCli({"convert", path, "-"}), runCli({"validate", path})}) {
            EXPECT_EQ(run.exitCode, 2) << path;
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err, expected);
        }
    }

    const std::string whole = ResultsFile::Encode(sampleResults());
    writeFileBytes(dir.file("cut.vnr"), whole + whole.substr(0, 100));
    const CliRun cut = runCli({"convert", dir.file("cut.vnr"), "--format", "txt", "-"});
    EXPECT_EQ(cut.exitCode, 0);
    EXPECT_EQ(cut.out, ResultExport::TextFileBytes(sampleResults()));
    EXPECT_EQ(cut.err, "Note: " + dir.file("cut.vnr") +
                           ": the end of the file was cut; its last, incomplete record was left "
                           "out\n");
}

// "-" writes to standard output in the format --format chooses (HTML unless told); a relative
// browse folder gets frames that point at its own pages.
TEST(ConvertCommand, WritesToStandardOutputAndBrowsesARelativeFolder) {
    TempDir dir;
    const ResultList list = sampleResults();
    ASSERT_TRUE(ResultsFile::WriteResultsFile(list, dir.file("in.vnr")));
    EXPECT_EQ(runCli({"convert", dir.file("in.vnr"), "-"}).out, ResultExport::HtmlPageBytes(list));
    for (const char* text : {"txt", "text"}) {
        const CliRun run = runCli({"convert", "--format", text, dir.file("in.vnr"), "-"});
        EXPECT_EQ(run.out, ResultExport::TextFileBytes(list)) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists("-"));

    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    std::filesystem::create_directory("rel");
    const CliRun browse = runCli({"convert", "in.vnr", "--browse", "rel"});
    std::filesystem::current_path(before);
    ASSERT_EQ(browse.exitCode, 0) << browse.err;
    const std::string frameset = readFileBytes(dir.file("rel/htmtemp.htm"));
    EXPECT_NE(frameset.find("src=\"" + dir.file("rel/htmtempb.htm") + "\""), std::string::npos)
        << frameset;
}
