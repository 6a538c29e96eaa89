#pragma once

#include <string>
#include <vector>

// "check-engine": fetches the first two result pages of one engine and reports, for each, the
// request, the status line, the time, the bytes, the results parsed and the first three, and
// says plainly when a page parsed to nothing or page two repeats page one. This is how a user
// keeps an engine file working as its site changes.
class CheckEngineCommand {
  public:
    static int Run(const std::vector<std::string>& words);
};
