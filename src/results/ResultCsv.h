#pragma once

#include "model/ResultList.h"
#include "search/RelevanceRanking.h"

#include <string>
#include <string_view>
#include <vector>

// The results as comma-separated values (RFC 4180): the header row "title,address,summary,
// engines", then one record per result, the engines joined by "; ". A field that holds a comma,
// a double quote or a line break is quoted, its quotes doubled; every record ends in CR LF.
// Texts are UTF-8; bytes that are not valid UTF-8 become U+FFFD.
class ResultCsv {
  public:
    static constexpr std::string_view kHeader = "title,address,summary,engines";
    static constexpr std::string_view kEngineSeparator = "; ";

    static std::string Bytes(const ResultList& list,
                             const std::vector<const RelevanceRanking::Page*>& pages = {});
    // False when the file could not be written; an existing file is then as it was.
    static bool Write(const ResultList& list, const std::string& path,
                      const std::vector<const RelevanceRanking::Page*>& pages = {});
    // One field as a record holds it.
    static std::string Field(std::string_view text);
};
