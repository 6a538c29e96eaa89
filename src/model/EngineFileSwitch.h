#pragma once

#include "model/EngineDefinition.h"

#include <string>

// Switches an engine of the User folder on or off. A user's own engine file need not be in
// the canonical form the Site files are rewritten in, so only the value of its "enable" line
// changes and every other byte stays; the file is replaced safely (written beside it, then
// renamed over it).
class EngineFileSwitch {
  public:
    // Rewrites the first engine file directly in userFolder that holds engine's name and
    // category. False when none does or it could not be rewritten.
    static bool SwitchUserEngine(const std::string& userFolder, const EngineDefinition& engine,
                                 bool enable);
    // bytes with the value of the "enable" line replaced by value (a line is added when the
    // file has none).
    static std::string WithEnableValue(std::string bytes, std::string_view value);
};
