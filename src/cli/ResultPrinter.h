#pragma once

#include "model/ResultList.h"

#include <cstdio>
#include <string>

// Writes results one per line as raw bytes: title, address, summary and engine separated by
// tabs, each line ending in "\n". Nothing is transcoded.
class ResultPrinter {
  public:
    explicit ResultPrinter(std::FILE* out);
    // Prints the results of list from index from on; returns how many it printed.
    int PrintFrom(const ResultList& list, int32_t from);
    // The lines PrintFrom prints for the whole list.
    static std::string Bytes(const ResultList& list);

  private:
    std::FILE* m_out;
};
