#include "cli/EngineReportTable.h"

#include "cli/TerminalText.h"
#include "search/EngineAccount.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr std::size_t kColumns = 9;
using Row = std::array<std::string, kColumns>;

std::string millisecondsText(long long ms) {
    return ms < 0 ? std::string("-") : std::to_string(ms) + " ms";
}

} // namespace

std::string EngineReportTable::Table(const EngineAccount& account) {
    std::vector<Row> rows;
    rows.push_back({"Engine", "Pages", "Status", "Bytes", "First byte", "Total", "Results",
                    "Duplicates", "State"});
    for (const EngineRecord& r : account.Records()) {
        rows.push_back(
            {TerminalText::Escape(r.name),
             std::to_string(r.pagesAnswered) + "/" + std::to_string(r.pagesRequested),
             r.statusLine.empty() ? std::string("-") : TerminalText::Escape(r.statusLine),
             std::to_string(r.bytes), millisecondsText(r.firstByteMs), millisecondsText(r.totalMs),
             std::to_string(r.resultsAccepted) + "/" + std::to_string(r.resultsParsed),
             std::to_string(r.duplicates), TerminalText::Escape(EngineAccount::StateText(r))});
    }
    std::array<std::size_t, kColumns> widths{};
    for (const Row& row : rows) {
        for (std::size_t c = 0; c < kColumns; ++c) {
            widths[c] = std::max(widths[c], row[c].size());
        }
    }
    std::string out;
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < kColumns; ++c) {
            line += row[c];
            if (c + 1 < kColumns) {
                line.append(widths[c] - row[c].size() + 2, ' ');
            }
        }
        out += line;
        out += '\n';
    }
    return out;
}
