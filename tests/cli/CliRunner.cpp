#include "cli/CliRunner.h"

#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

CliRun runCli(const std::vector<std::string>& arguments, const std::string& input) {
    return runProgram(VANTORELL_SEARCH_BINARY, arguments, input);
}

CliRun runProgram(const std::string& path, const std::vector<std::string>& arguments,
                  const std::string& input) {
    TempDir dir;
    const std::string inPath = dir.file("in");
    writeFileBytes(inPath, input);
    const std::string outPath = dir.file("out");
    const std::string errPath = dir.file("err");
    std::vector<char*> argv;
    std::string program = path;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& word : copies) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    CliRun run;
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open(inPath.c_str(), O_RDONLY);
        ::dup2(in, STDIN_FILENO);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readFileBytes(outPath);
    run.err = readFileBytes(errPath);
    return run;
}

int lineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}
