#pragma once

#include <string>
#include <vector>

// "search": runs one whole search on the program folder's engines and settings, printing each
// accepted result as soon as it is accepted and every status text on stderr; the end text is
// the last line on stderr.
class SearchCommand {
  public:
    static int Run(const std::vector<std::string>& words);
};
