#include "cli/CliRunner.h"

#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

// Without a display the window still answers --help and --version; a results file it cannot
// open is named on stderr with status 2, there and in a --screenshot run, never in a box.
TEST(WindowStartUp, AnswersAndRefusesWithoutADisplay) {
    const ScopedEnvironment display("DISPLAY", std::nullopt);
    const ScopedEnvironment wayland("WAYLAND_DISPLAY", std::nullopt);
    const ScopedEnvironment platform("QT_QPA_PLATFORM", std::nullopt);
    const CliRun help = runProgram(VANTORELL_WINDOW_BINARY, {"--help"});
    EXPECT_EQ(help.exitCode, 0) << help.err;
    EXPECT_EQ(firstLine(help.out).rfind("usage: Vantorell2001", 0), 0u) << help.out;
    const CliRun version = runProgram(VANTORELL_WINDOW_BINARY, {"--version"});
    EXPECT_EQ(version.exitCode, 0) << version.err;
    EXPECT_EQ(version.out.rfind("Vantorell2001 ", 0), 0u) << version.out;

    TempDir dir;
    writeFileBytes(dir.file("bad.vnr"), std::string(1221, 'x'));
    const CliRun bad =
        runProgram(VANTORELL_WINDOW_BINARY, {"--app-path", dir.path(), "--", dir.file("bad.vnr")});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.err, dir.file("bad.vnr") + ": not a results file\n");

    const ScopedEnvironment offscreen("QT_QPA_PLATFORM", "offscreen");
    const CliRun shot =
        runProgram(VANTORELL_WINDOW_BINARY, {"--app-path", dir.path(), "--screenshot",
                                             dir.file("shot.png"), dir.file("none.vnr")});
    EXPECT_EQ(shot.exitCode, 2);
    EXPECT_EQ(shot.err, dir.file("none.vnr") + ": no such file\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("shot.png")));
}
