#pragma once

#include <string>
#include <vector>

class EngineCatalog;

// The engines a search asks when the user names them (search --engine NAME): copies of every
// engine of those names, whatever their category, gathered into a catalogue of their own under
// one category of their own. The engine files are not touched.
class EngineChoice {
  public:
    // The category of the chosen engines.
    static constexpr const char* kCategory = "Chosen Engines";

    // Adds to chosen a copy of each engine of all named in names, in kCategory. False when a
    // name is no engine's; error then names it and lists the known engines.
    static bool Pick(EngineCatalog& all, const std::vector<std::string>& names,
                     EngineCatalog& chosen, std::string& error);
};
