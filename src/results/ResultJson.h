#pragma once

#include "model/ResultList.h"
#include "search/RelevanceRanking.h"

#include <string>
#include <vector>

// The results as JSON for scripts: an array with one object per result, its "title",
// "address", "summary" and "engines" (a list of names) and, for a result of a search,
// "ranks" (each engine's rank of the page) and "score". Texts are UTF-8; bytes that are not
// valid UTF-8 become U+FFFD.
class ResultJson {
  public:
    // pages gives the search's page of each row, where there is one (see RelevanceRanking).
    static std::string Bytes(const ResultList& list,
                             const std::vector<const RelevanceRanking::Page*>& pages = {});
    // False when the file could not be written; an existing file is then as it was.
    static bool Write(const ResultList& list, const std::string& path,
                      const std::vector<const RelevanceRanking::Page*>& pages = {});
};
