#pragma once

#include "model/ResultList.h"

#include <string>
#include <string_view>

// The formats results can be written in by name, as "--format NAME" chooses them. One row of
// the table in OutputFormat.cpp per name; a new format is one more row.
class OutputFormat {
  public:
    using Encoder = std::string (*)(const ResultList& list);

    // The format called name, or nullptr when there is none.
    static const OutputFormat* Find(std::string_view name);
    // Every name, separated by ", ", for usage and error texts.
    static std::string Names();

    std::string_view name;
    Encoder bytes;
};
