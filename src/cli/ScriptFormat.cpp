#include "cli/ScriptFormat.h"

#include "cli/ResultPrinter.h"
#include "results/ResultCsv.h"
#include "results/ResultJson.h"

bool ScriptFormat::Parse(const std::string& name, Kind& kind) {
    if (name == "tsv") {
        kind = Kind::Tsv;
    } else if (name == "json") {
        kind = Kind::Json;
    } else if (name == "csv") {
        kind = Kind::Csv;
    } else {
        return false;
    }
    return true;
}

std::string ScriptFormat::Bytes(Kind kind, const ResultList& list,
                                const std::vector<const RelevanceRanking::Page*>& pages) {
    switch (kind) {
    case Kind::Json:
        return ResultJson::Bytes(list, pages);
    case Kind::Csv:
        return ResultCsv::Bytes(list, pages);
    case Kind::Tsv:
        break;
    }
    return ResultPrinter::Bytes(list);
}
