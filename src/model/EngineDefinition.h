#pragma once

#include "model/FixedText.h"

#include <array>
#include <string_view>

// One search engine as read from its ".vnp" file: eleven fixed-capacity texts named by the keys
// of the file. Members are in the record's own order; the file writes another order.
struct EngineDefinition {
    FixedText<21> category;
    FixedText<6> enable;
    FixedText<256> grm;
    FixedText<3> language;
    FixedText<5> method;
    FixedText<21> name;
    FixedText<31> opt;
    FixedText<256> path;
    FixedText<11> URLcode;
    FixedText<11> trunpage;
    FixedText<129> website;

    // The keys in the order the canonical file writes them.
    static constexpr std::array<std::string_view, 11> kFileKeyOrder = {
        "name", "website", "path",     "method",   "URLcode", "opt",
        "grm",  "trunpage", "enable", "language", "category"};

    // Stores value into the field named by key (exact byte comparison). Returns false for a key
    // that names no field. A value that does not fit is cut.
    bool setField(std::string_view key, std::string_view value);
    // The text of the field named by key; empty for an unknown key.
    std::string_view field(std::string_view key) const;
    // True when the engine takes part in searches: any enable text but "false" in any case.
    bool isEnabled() const;
    // True when the options page shows the engine switched on: enable is "TRUE" in any case.
    bool isCheckedOn() const;
};
