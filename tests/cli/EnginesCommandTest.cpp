#include "cli/CliRunner.h"
#include "model/EngineFile.h"

#include "support/ProgramFolder.h"
#include "support/ScopedEnvironment.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <unistd.h>

namespace {

std::string engineFile(const std::string& name, const std::string& category,
                       const std::string& website) {
    return "name:" + name + "\r\nwebsite:" + website + "\r\nenable:TRUE\r\ncategory:" + category +
           "\r\ngrm:\r\n";
}

} // namespace

TEST(EnginesCommand, ListsSiteThenUserInCatalogueOrder) {
    ProgramFolder app;
    writeFileBytes(app.file("Site/a.vnp"), engineFile("Alpha", "Cars", "http://a.example:8080"));
    writeFileBytes(app.file("User/b.vnp"), engineFile("Beta", "Own Things", "b.example"));
    writeFileBytes(app.file("User/c.VNP"), engineFile("Gamma", "Cars", "ftp://c.example/x"));

    const CliRun run = runCli({"engines", "--app-path", app.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Cars\tAlpha\tTRUE\thttp://a.example:8080\n"
                       "Cars\tGamma\tTRUE\thttp://c.example/x\n"
                       "Own Things\tBeta\tTRUE\thttp:b.example\n");
}

TEST(EnginesCommand, UnreadableEngineFileOrStrayWordExitsTwo) {
    ProgramFolder app;
    // A link to itself exists as a name but cannot be opened, even by root.
    ASSERT_EQ(::symlink(app.file("Site/loop.vnp").c_str(), app.file("Site/loop.vnp").c_str()), 0);
    const CliRun run = runCli({"engines", "--app-path", app.path()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Read Engine Property Error!"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("loop.vnp"), std::string::npos) << run.err;
    EXPECT_EQ(runCli({"engines", "stray"}).exitCode, 2);
}

// --health shows each engine's record from the health file, per engine file (category and
// name) and with a server's control bytes escaped; --enable and --disable rewrite the engine's
// file as the options sheet does (a user's own file in User keeps every byte but its enable
// line), and switching an engine on ends its rest.
TEST(EnginesCommand, HealthAndSwitchingEnginesOnAndOff) {
    ProgramFolder app;
    EngineDefinition engine = ProgramFolder::Engine("Alpha", "http://a.example", "", "", "Cars");
    writeFileBytes(app.file("Site/a.vnp"), EngineFile::CanonicalBytes(engine));
    engine.category.set("Buy Books");
    writeFileBytes(app.file("Site/b.vnp"), EngineFile::CanonicalBytes(engine));
    EngineDefinition own = ProgramFolder::Engine("Mine", "http://m.example", "", "", "Recipes");
    // Not in canonical form: its enable line comes first.
    const auto ownBytes = [&own](const std::string& enable) {
        std::string bytes = EngineFile::CanonicalBytes(own);
        bytes.erase(bytes.find("enable:true\r\n"), 13);
        return "enable:" + enable + "\r\n" + bytes;
    };
    writeFileBytes(app.file("User/mine.vnp"), ownBytes("false"));
    const std::string later = std::to_string(std::time(nullptr) + 600);
    writeFileBytes(app.file("EngineHealth.txt"),
                   "Vantorell 2001 engine health 2\r\n"
                   "search\tBuy Books\tAlpha\t1\tok\t300\t\r\n"
                   "search\tBuy Books\tAlpha\t2\tblocked\t-1\tHTTP/1.0 429 \x1b[2J\r\n"
                   "garbled line\r\n"
                   "rest\tCars\tAlpha\t" +
                       later + "\r\nrest\tRecipes\tMine\t" + later + "\r\n");

    const CliRun health = runCli({"engines", "--app-path", app.path(), "--health"});
    ASSERT_EQ(health.exitCode, 0) << health.err;
    EXPECT_EQ(firstLine(health.out), "Buy Books\tAlpha\t1/2\t300 ms\tHTTP/1.0 429 \\x1B[2J");
    EXPECT_NE(health.out.find("Cars\tAlpha\t0/0\t-\t-\tresting until "), std::string::npos);
    EXPECT_NE(health.err.find("1 damaged line"), std::string::npos) << health.err;

    const CliRun ambiguous = runCli({"engines", "--app-path", app.path(), "--disable", "Alpha"});
    EXPECT_EQ(ambiguous.exitCode, 2);
    EXPECT_NE(ambiguous.err.find("--category"), std::string::npos);
    const CliRun off =
        runCli({"engines", "--app-path", app.path(), "--disable", "Alpha", "--category", "Cars"});
    ASSERT_EQ(off.exitCode, 0) << off.err;
    engine.enable.set("false");
    engine.category.set("Cars");
    EXPECT_EQ(readFileBytes(app.file("Site/a.vnp")), EngineFile::CanonicalBytes(engine));
    const CliRun on =
        runCli({"engines", "--app-path", app.path(), "--enable", "Alpha", "--category", "Cars"});
    ASSERT_EQ(on.exitCode, 0) << on.err;
    EXPECT_EQ(readFileBytes(app.file("EngineHealth.txt")).find("rest\tCars"), std::string::npos);

    const CliRun ownOn = runCli({"engines", "--app-path", app.path(), "--enable", "Mine"});
    ASSERT_EQ(ownOn.exitCode, 0) << ownOn.err;
    EXPECT_EQ(readFileBytes(app.file("User/mine.vnp")), ownBytes("true"));
    EXPECT_EQ(readFileBytes(app.file("EngineHealth.txt")).find("rest\t"), std::string::npos)
        << "the resting User engine is free again";
    EXPECT_EQ(runCli({"engines", "--app-path", app.path(), "--enable", "Nobody"}).exitCode, 2);
}

// The program answers --version and --help at once; categories counts each category's engines;
// a folder without engine folders is refused by each verb that needs engines; and the verbs
// that only read create no file, not even the registry.
TEST(EnginesCommand, VersionHelpCategoriesAndNoFileCreated) {
    ProgramFolder app;
    writeFileBytes(app.file("Site/a.vnp"), engineFile("Alpha", "Cars", "a.example"));
    writeFileBytes(app.file("Site/b.vnp"),
                   engineFile("Beta", "Cars", "b.example") + "enable:false\r\n");
    writeFileBytes(app.file("User/c.vnp"), engineFile("Gamma", "Own Things", "c.example"));
    TempDir config;
    const ScopedEnvironment home("XDG_CONFIG_HOME", config.path());
    const ScopedEnvironment registry("VANTORELL_REGISTRY", std::nullopt);
    const ScopedEnvironment folder("VANTORELL_APPPATH", std::nullopt);

    EXPECT_EQ(firstLine(runCli({"--version"}).out).rfind("vantorell-search ", 0), 0u);
    for (const char* help : {"-h", "--help"}) {
        const CliRun run = runCli({help});
        EXPECT_EQ(run.exitCode, 0);
        for (const char* status : {"\n  0  ", "\n  1  ", "\n  2  ", "categories"}) {
            EXPECT_NE(run.out.find(status), std::string::npos) << status;
        }
    }
    const CliRun categories = runCli({"categories", "--app-path", app.path()});
    ASSERT_EQ(categories.exitCode, 0) << categories.err;
    EXPECT_EQ(firstLine(categories.out), "The Web\t0/0");
    EXPECT_NE(categories.out.find("\nCars\t1/2\n"), std::string::npos) << categories.out;
    const std::string last = "\nOwn Things\t1/1\n";
    EXPECT_EQ(categories.out.substr(categories.out.size() - last.size()), last);

    for (const std::vector<std::string>& words :
         std::vector<std::vector<std::string>>{{"engines", "--app-path", config.path()},
                                               {"categories", "--app-path", config.path()},
                                               {"search", "--app-path", config.path(), "x"}}) {
        const CliRun run = runCli(words);
        EXPECT_EQ(run.exitCode, 2) << words[0];
        EXPECT_EQ(run.err, "vantorell-search: program folder " + config.path() +
                               " holds neither a Site nor a User folder\n");
    }
    runCli({"engines"});
    runCli({"categories"});
    runCli({"check-engine", "--page", "/dev/null", app.file("Site/a.vnp")});
    EXPECT_TRUE(std::filesystem::is_empty(config.path()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(app.path()),
                            std::filesystem::directory_iterator()),
              2);
}
