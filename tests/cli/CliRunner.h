#pragma once

#include <string>
#include <vector>

// Runs the headless front end as its own process and keeps what it printed.
struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

CliRun runCli(const std::vector<std::string>& arguments);
