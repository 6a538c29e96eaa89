#include "cli/CliRunner.h"

#include "results/ResultsFile.h"

#include "support/FixtureServer.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

// "/ok" answers 200, "/gone" 404, "/slow" 200 after a while; anything else 500.
FixtureReply answerByPath(const std::string& request) {
    FixtureReply reply;
    if (request.rfind("HEAD /ok ", 0) == 0) {
        reply.bytes = "HTTP/1.0 200 OK\r\n\r\n";
    } else if (request.rfind("HEAD /gone ", 0) == 0) {
        reply.bytes = "HTTP/1.1 404 Not Found\r\n\r\n";
    } else if (request.rfind("HEAD /slow ", 0) == 0) {
        reply.bytes = "HTTP/1.0 204 No Content\r\n\r\n";
        reply.delay = std::chrono::milliseconds(400);
    } else {
        reply.bytes = "HTTP/1.0 500 Oops\r\n\r\n";
    }
    return reply;
}

} // namespace

TEST(ValidateCommand, PrintsStatesInInputOrderFromStandardInputOrAResultsFile) {
    FixtureServer server(answerByPath);
    const std::string input = server.Url("/slow") + "\r\n" + server.Url("/gone") + "\n\n" +
                              "http://nonexistent.invalid/\n" + server.Url("/ok");
    const std::string expected = "1\t" + server.Url("/slow") + "\n" + "2\t" + server.Url("/gone") +
                                 "\n" + "3\thttp://nonexistent.invalid/\n" + "1\t" +
                                 server.Url("/ok") + "\n";
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"validate"}, std::vector<std::string>{"validate", "-"}}) {
        const CliRun run = runCli(arguments, input);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, expected);
        EXPECT_EQ(run.err, "");
    }

    TempDir dir;
    ResultList found;
    for (const char* path : {"/gone", "/ok", "/broken"}) {
        found.Add("Title", server.Url(path), "summary", "Engine");
    }
    ASSERT_TRUE(ResultsFile::WriteResultsFile(found, dir.file("found.vnr")));
    const CliRun file = runCli({"validate", dir.file("found.vnr")});
    ASSERT_EQ(file.exitCode, 0) << file.err;
    EXPECT_EQ(file.out, "2\t" + server.Url("/gone") + "\n1\t" + server.Url("/ok") + "\n3\t" +
                            server.Url("/broken") + "\n");
}
