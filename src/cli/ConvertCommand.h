#pragma once

#include <string>
#include <vector>

// "convert": reads a results file and writes it as Save Results does, in the format of the
// output's extension (a results file, a text file or an HTML page), or as the three browse
// pages into a folder.
class ConvertCommand {
  public:
    static int Run(const std::vector<std::string>& words);
};
