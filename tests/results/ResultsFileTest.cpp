#include "results/ResultsFile.h"
#include "platform/TextMode.h"
#include "results/ResultsDocument.h"

#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// One field as the Windows program leaves it on disk: the text, its terminator, then slack
// that readers must ignore.
std::string field(const std::string& text, std::size_t width, char slack) {
    std::string bytes = text + '\0';
    bytes.append(width - bytes.size(), slack);
    return bytes;
}

// A record as the Windows program writes it in text mode: four fields, then every line feed
// written as CR LF.
std::string record(const std::string& title, const std::string& address, const std::string& summary,
                   const std::string& engine, char slack = '\0') {
    return TextMode::ToDisk(field(title, 200, slack) + field(address, 300, slack) +
                            field(summary, 700, slack) + field(engine, 21, slack));
}

void expectResult(const ResultList& list, int32_t index, const std::string& title,
                  const std::string& address, const std::string& summary,
                  const std::string& engine) {
    const SearchResult* result = list.Get(index);
    ASSERT_NE(result, nullptr) << index;
    EXPECT_EQ(result->title.str(), title) << index;
    EXPECT_EQ(result->address.str(), address) << index;
    EXPECT_EQ(result->summary.str(), summary) << index;
    EXPECT_EQ(result->engine.str(), engine) << index;
}

} // namespace

TEST(ResultsFile, WindowsFileReadsBackAndWritesByteForByte) {
    TempDir dir;
    // Each line feed is CR LF on disk, so those records are a byte longer; a lone CR and a CR
    // before a line feed inside a text survive the round trip.
    const std::string onDisk = record("First", "http://a.example/", "one\ntwo", "Alpha") +
                               record("Second\r", "http://b.example/?q=1&r=2", "", "Beta") +
                               record("Third\r\n", "", "three", "Gamma");
    ASSERT_EQ(onDisk.size(), 3 * 1221 + 2u);
    ASSERT_EQ(onDisk.substr(500, 10), std::string("one\r\ntwo\0", 10));
    const std::string withSlack = record("First", "http://a.example/", "one\ntwo", "Alpha", 'x') +
                                  record("Second\r", "http://b.example/?q=1&r=2", "", "Beta", 'y') +
                                  record("Third\r\n", "", "three", "Gamma", '\x1b');
    writeFileBytes(dir.file("windows.vnr"), withSlack);

    ResultList list;
    ASSERT_EQ(ResultsFile::ReadResultsFile(list, dir.file("windows.vnr")),
              ResultsFile::ReadResult::Read);
    ASSERT_EQ(list.Count(), 3);
    expectResult(list, 0, "First", "http://a.example/", "one\ntwo", "Alpha");
    expectResult(list, 1, "Second\r", "http://b.example/?q=1&r=2", "", "Beta");
    expectResult(list, 2, "Third\r\n", "", "three", "Gamma");

    ASSERT_TRUE(ResultsFile::WriteResultsFile(list, dir.file("linux.vnr")));
    EXPECT_EQ(readFileBytes(dir.file("linux.vnr")), onDisk);

    ASSERT_TRUE(ResultsFile::WriteResultsFile(ResultList(), dir.file("empty.vnr")));
    EXPECT_EQ(readFileBytes(dir.file("empty.vnr")), "");
}

TEST(ResultsFile, EndOfFileRulesAndUnreadableFiles) {
    TempDir dir;
    const std::string two = record("T1", "A1", "S1", "E1") + record("T2", "A2", "S2", "E2");
    struct Case {
        std::string name;
        std::string bytes;
        ResultsFile::ReadResult result;
        int32_t count;
    };
    std::string third = record("T3", "A3", "S3", "E3");
    third[250] = '\x1a';
    const Case cases[] = {
        {"incomplete last record", two + std::string(100, 'z'), ResultsFile::ReadResult::Read, 2},
        {"byte 26 in the third record", two + third, ResultsFile::ReadResult::Read, 2},
        {"empty file", "", ResultsFile::ReadResult::Read, 0},
        {"title without terminator", two + std::string(1221, 'x'),
         ResultsFile::ReadResult::Unreadable, 0},
        {"engine without terminator", std::string(1200, '\0') + std::string(21, 'e'),
         ResultsFile::ReadResult::Unreadable, 0},
    };
    for (const Case& c : cases) {
        writeFileBytes(dir.file("case.vnr"), c.bytes);
        ResultList list;
        EXPECT_EQ(ResultsFile::ReadResultsFile(list, dir.file("case.vnr")), c.result) << c.name;
        EXPECT_EQ(list.Count(), c.count) << c.name;
    }
    // A list that already holds results keeps them and gets the file's after them; one result
    // is enough to tell appending from replacing.
    writeFileBytes(dir.file("two.vnr"), two);
    for (const int32_t held : {1, 2}) {
        ResultList list;
        for (int32_t i = 0; i < held; ++i) {
            list.Add("Held", "", "", "");
        }
        ASSERT_EQ(ResultsFile::ReadResultsFile(list, dir.file("two.vnr")),
                  ResultsFile::ReadResult::Read);
        ASSERT_EQ(list.Count(), held + 2) << held;
        expectResult(list, 0, "Held", "", "", "");
        expectResult(list, held, "T1", "A1", "S1", "E1");
        expectResult(list, held + 1, "T2", "A2", "S2", "E2");
    }

    ResultList list;
    EXPECT_EQ(ResultsFile::ReadResultsFile(list, dir.file("none.vnr")),
              ResultsFile::ReadResult::Missing);
    EXPECT_EQ(ResultsFile::ReadResultsFile(list, dir.path()), ResultsFile::ReadResult::Unreadable);
    EXPECT_EQ(list.Count(), 0);

    // Open Results empties the list first and names an unreadable file in a warning.
    RecordingMessageSink messages;
    list.Add("stale", "", "", "");
    EXPECT_EQ(ResultsDocument::OpenResults(list, dir.file("none.vnr"), messages), 0);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(ResultsDocument::OpenResults(list, dir.file("case.vnr"), messages), 0);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Warning");
    EXPECT_EQ(messages.messages[0].text,
              "Only file with the type of Vantorell 2001 can be read.\n" + dir.file("case.vnr") +
                  ": not a results file");
    EXPECT_EQ(ResultsDocument::CountStatusText(0), "0 result(s)");
}

// A failed save keeping the old file is checked with the other rewritten files.
TEST(ResultsFile, SaveChoosesFormatByExtension) {
    using Format = ResultsDocument::SaveFormat;
    EXPECT_EQ(ResultsDocument::FormatForPath("a/keyword.VnR"), Format::ResultsFile);
    EXPECT_EQ(ResultsDocument::FormatForPath("keyword.TXT"), Format::TextFile);
    EXPECT_EQ(ResultsDocument::FormatForPath("keyword.htm"), Format::HtmlPage);
    EXPECT_EQ(ResultsDocument::FormatForPath("keyword"), Format::HtmlPage);
    EXPECT_EQ(ResultsDocument::FormatForPath("txt"), Format::HtmlPage);
    EXPECT_EQ(ResultsDocument::FormatForPath("folder.txt/keyword"), Format::HtmlPage);
    EXPECT_EQ(ResultsDocument::FormatForPath("a.txt.vnr"), Format::ResultsFile);

    TempDir dir;
    ResultList list;
    list.Add("a", "b", "c", "d");
    list.Add("e", "f", "g", "h");
    ASSERT_TRUE(ResultsDocument::SaveResults(list, dir.file("two.vnr")));
    EXPECT_EQ(std::filesystem::file_size(dir.file("two.vnr")), 2442u);
}

TEST(ResultsFile, TextModeReadsTheSameInPiecesOfAnySize) {
    const std::string onDisk = "a\r\nb\rc\r\r\nd\r\n\r\ne\r";
    const std::string text = "a\nb\rc\r\nd\n\ne\r";
    EXPECT_EQ(TextMode::FromDisk(onDisk + "\x1a" + "after the end"), text);
    EXPECT_EQ(TextMode::ToDisk(text), onDisk);
    for (std::size_t piece = 1; piece <= 4; ++piece) {
        std::string_view rest = onDisk;
        std::string read;
        std::string buffer(piece, '\0');
        while (!rest.empty()) {
            read.append(buffer.data(), TextMode::ReadFromDisk(rest, buffer.data(), piece));
        }
        EXPECT_EQ(read, text) << piece;
    }
}
