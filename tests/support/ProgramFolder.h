#pragma once

#include "model/EngineDefinition.h"
#include "support/TempDir.h"

#include <string>

// A program folder for one test: a fresh temporary folder with the Site and User engine
// folders, into which the test writes engines and settings.
class ProgramFolder : public TempDir {
  public:
    ProgramFolder();

    // An enabled engine of category whose requests go to website + path.
    static EngineDefinition Engine(const std::string& name, const std::string& website,
                                   const std::string& path, const std::string& grammar,
                                   const std::string& category = "The Web");
    // Writes engine as its canonical file "<name>.vnp" under Site or User, as its category asks.
    void AddEngine(const EngineDefinition& engine) const;
    // Writes one key of the [Options] section of the settings file.
    void SetOption(const std::string& key, const std::string& value) const;
};
