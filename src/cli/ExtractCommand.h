#pragma once

#include <string>
#include <vector>

// "extract": runs an engine's grammar over a saved answer page, fed in pieces, and prints each
// result as one tab-separated line.
class ExtractCommand {
  public:
    static int Run(const std::vector<std::string>& words);
};
