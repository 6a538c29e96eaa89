#include "cli/CliRunner.h"

#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

std::string engineFile(const std::string& name, const std::string& category,
                       const std::string& website) {
    return "name:" + name + "\r\nwebsite:" + website + "\r\nenable:TRUE\r\ncategory:" +
           category + "\r\n";
}

} // namespace

TEST(EnginesCommand, ListsSiteThenUserInCatalogueOrder) {
    TempDir app;
    std::filesystem::create_directory(app.file("Site"));
    std::filesystem::create_directory(app.file("User"));
    writeFileBytes(app.file("Site/a.vnp"), engineFile("Alpha", "Cars", "http://a.example:8080"));
    writeFileBytes(app.file("User/b.vnp"), engineFile("Beta", "Own Things", "b.example"));
    writeFileBytes(app.file("User/c.VNP"), engineFile("Gamma", "Cars", "ftp://c.example/x"));
    writeFileBytes(app.file("User/notes.txt"), engineFile("Ignored", "Cars", "x"));

    const CliRun run = runCli({"engines", "--app-path", app.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Cars\tAlpha\tTRUE\thttp://a.example:8080\n"
                       "Cars\tGamma\tTRUE\thttp://c.example/x\n"
                       "Own Things\tBeta\tTRUE\thttp:b.example\n");
}

TEST(EnginesCommand, UnreadableEngineFileFailsNamingIt) {
    TempDir app;
    std::filesystem::create_directory(app.file("Site"));
    // A link to itself exists as a name but cannot be opened, even by root.
    ASSERT_EQ(::symlink(app.file("Site/loop.vnp").c_str(), app.file("Site/loop.vnp").c_str()), 0);
    const CliRun run = runCli({"engines", "--app-path", app.path()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Read Engine Property Error!"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("loop.vnp"), std::string::npos) << run.err;
}

TEST(EnginesCommand, ShippedEnginesAreListed) {
    const CliRun run = runCli({"engines", "--app-path", sourcePath("engines")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("The Web\tDuckDuckGo\ttrue\thttps://html.duckduckgo.com\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("Sample Pages\tSample\ttrue\thttp://127.0.0.1:8080\n"),
              std::string::npos);
    EXPECT_EQ(runCli({"engines", "stray"}).exitCode, 2);
}
