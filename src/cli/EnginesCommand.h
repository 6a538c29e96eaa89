#pragma once

#include <string>
#include <vector>

// "engines": one line per engine of the catalogue, in catalogue order: category, name, enable
// and website separated by tabs.
class EnginesCommand {
  public:
    static int Run(const std::vector<std::string>& words);
};
