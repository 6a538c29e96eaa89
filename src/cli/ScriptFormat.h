#pragma once

#include "model/ResultList.h"
#include "search/RelevanceRanking.h"

#include <string>
#include <vector>

// The forms in which the headless front end hands results to scripts: "tsv" (one line per
// result, fields separated by tabs, bytes as they are), "json" and "csv" (see ResultJson and
// ResultCsv).
class ScriptFormat {
  public:
    enum class Kind { Tsv, Json, Csv };
    static constexpr const char* kNames = "tsv, json or csv";

    // False when name is none of the forms.
    static bool Parse(const std::string& name, Kind& kind);
    // pages gives the search's page of each row, where there is one.
    static std::string Bytes(Kind kind, const ResultList& list,
                             const std::vector<const RelevanceRanking::Page*>& pages = {});
};
