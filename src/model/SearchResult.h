#pragma once

#include "model/FixedText.h"

// One hit cut out of an answer page: title, address, summary and the engine that produced it.
// The four slots laid end to end (1221 bytes) are the record of the results file.
struct SearchResult {
    static constexpr std::size_t kTitleCapacity = 200;
    static constexpr std::size_t kAddressCapacity = 300;
    static constexpr std::size_t kSummaryCapacity = 700;
    static constexpr std::size_t kEngineCapacity = 21;
    static constexpr std::size_t kRecordSize =
        kTitleCapacity + kAddressCapacity + kSummaryCapacity + kEngineCapacity;

    SearchResult() = default;
    // Builds the record straight from its four texts, each cut to its capacity.
    SearchResult(std::string_view titleText, std::string_view addressText,
                 std::string_view summaryText, std::string_view engineText)
        : title(titleText), address(addressText), summary(summaryText), engine(engineText) {
    }

    FixedText<kTitleCapacity> title;
    FixedText<kAddressCapacity> address;
    FixedText<kSummaryCapacity> summary;
    FixedText<kEngineCapacity> engine;
};
