#include "cli/CliRunner.h"

#include "results/ResultExport.h"
#include "results/ResultsFile.h"

#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

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
    writeFileBytes(dir.file("bad.vnr"), std::string(1221, 'x'));
    ASSERT_TRUE(ResultsFile::WriteResultsFile(sampleResults(), dir.file("in.vnr")));
    struct Case {
        std::vector<std::string> words;
        std::string err;
    };
    const Case cases[] = {
        {{"convert", dir.file("bad.vnr"), dir.file("out.htm")},
         "Warning: Only file with the type of Vantorell 2001 can be read.\n"},
        {{"convert", dir.file("none.vnr"), dir.file("out.htm")}, "none.vnr"},
        {{"convert", dir.file("in.vnr")}, "output"},
        {{"convert", dir.file("in.vnr"), "--browse", dir.file("nowhere")}, "nowhere"},
        {{"convert", dir.file("in.vnr"), dir.file("nowhere/out.htm")}, "nowhere/out.htm"},
        {{"convert", dir.file("in.vnr"), dir.file("out.htm"), "--format", "x"}, "--format"},
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
              3);
    EXPECT_EQ(runCli({"convert", "--help"}).exitCode, 0);
}
