#include "results/ResultCsv.h"
#include "results/ResultJson.h"
#include "results/ResultsDocument.h"

#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

// Results whose texts need quoting in CSV and escaping in JSON, with one byte that is not UTF-8.
ResultList awkwardResults() {
    ResultList list;
    list.Add(SearchResult("Caf\xc3\xa9, \"quoted\"", "http://a.example/?q=1,2", "line\r\nbreak",
                          "Bing, Ask"));
    list.Add(SearchResult("bad \xff byte", "http://b.example/", "", "Mojeek"));
    return list;
}

QJsonArray parsedJson(const std::string& bytes) {
    QJsonParseError error{};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(bytes), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << bytes;
    return document.array();
}

// Python's csv module reads the file and hands its rows back as JSON.
QJsonArray rowsReadByPython(const std::string& path) {
    const std::string command =
        "python3 -c 'import csv,json,sys; print(json.dumps(list(csv.reader(open(sys.argv[1], "
        "newline=\"\", encoding=\"utf-8\")))))' " +
        path;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    std::size_t got = 0;
    while (pipe != nullptr && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, got);
    }
    if (pipe == nullptr || ::pclose(pipe) != 0) {
        return {};
    }
    return parsedJson(output);
}

} // namespace

// Both files read back with standard readers to the rows written; the byte that is not UTF-8
// comes back as U+FFFD; a search's ranks and score go into the JSON.
TEST(ScriptFormats, JsonAndCsvReadBackToTheSameRows) {
    TempDir folder;
    const ResultList list = awkwardResults();
    RelevanceRanking ranking;
    ranking.Note("Bing", "http://a.example/?q=1,2");
    ranking.Note("Ask", "http://z.example/");
    ranking.Note("Ask", "http://a.example/?q=1,2");
    const std::vector<const RelevanceRanking::Page*> pages = {
        ranking.Find("http://a.example/?q=1,2"), nullptr};
    const QString replaced = QStringLiteral("bad \uFFFD byte");

    const std::string jsonPath = folder.file("found.JSON");
    ASSERT_TRUE(ResultsDocument::SaveResults(list, jsonPath, {}, pages));
    const QJsonArray json = parsedJson(readFileBytes(jsonPath));
    ASSERT_EQ(json.size(), 2);
    const QJsonObject first = json[0].toObject();
    EXPECT_EQ(first["title"].toString(), QString::fromUtf8("Caf\xc3\xa9, \"quoted\""));
    EXPECT_EQ(first["summary"].toString(), "line\r\nbreak");
    EXPECT_EQ(first["engines"].toArray(), QJsonArray({"Bing", "Ask"}));
    EXPECT_EQ(first["ranks"].toObject(), QJsonObject({{"Bing", 1}, {"Ask", 2}}));
    EXPECT_DOUBLE_EQ(first["score"].toDouble(), pages[0]->score);
    const QJsonObject second = json[1].toObject();
    EXPECT_EQ(second["title"].toString(), replaced);
    EXPECT_EQ(second["engines"].toArray(), QJsonArray({"Mojeek"}));
    EXPECT_FALSE(second.contains("ranks"));

    const std::string csvPath = folder.file("found.csv");
    ASSERT_TRUE(ResultsDocument::SaveResults(list, csvPath));
    const QJsonArray rows = rowsReadByPython(csvPath);
    if (rows.isEmpty()) {
        GTEST_SKIP() << "python3 could not read the file";
    }
    const QJsonArray expected = {
        QJsonArray({"title", "address", "summary", "engines"}),
        QJsonArray({QString::fromUtf8("Caf\xc3\xa9, \"quoted\""), "http://a.example/?q=1,2",
                    "line\r\nbreak", "Bing; Ask"}),
        QJsonArray({replaced, "http://b.example/", "", "Mojeek"}),
    };
    EXPECT_EQ(rows, expected);
}
