#pragma once

#include <string>
#include <vector>

// "validate": checks every address of a results file, or of standard input one per line, with
// a HEAD request each, at most eight at once, and prints "<state>\t<address>" per address in
// input order: 1 valid, 2 invalid (a client error), 3 unknown.
class ValidateCommand {
  public:
    static int Run(const std::vector<std::string>& words);
};
