#pragma once

#include <string>
#include <vector>

// Runs the headless front end as its own process and keeps what it printed.
struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// input is what the program reads on its standard input.
CliRun runCli(const std::vector<std::string>& arguments, const std::string& input = {});
// The same for another program of the project, such as the window.
CliRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& input = {});

// The number of line ends in text, and its text before the first one.
int lineCount(const std::string& text);
std::string firstLine(const std::string& text);
