#include "support/ProgramFolder.h"

#include "model/EngineCatalog.h"
#include "model/EngineFile.h"
#include "settings/OptionsStore.h"
#include "support/TestFiles.h"

#include <filesystem>

ProgramFolder::ProgramFolder() {
    std::filesystem::create_directory(file("Site"));
    std::filesystem::create_directory(file("User"));
}

EngineDefinition ProgramFolder::Engine(const std::string& name, const std::string& website,
                                       const std::string& path, const std::string& grammar,
                                       const std::string& category) {
    EngineDefinition engine;
    engine.name.set(name);
    engine.website.set(website);
    engine.path.set(path);
    engine.grm.set(grammar);
    engine.enable.set("true");
    engine.category.set(category);
    return engine;
}

void ProgramFolder::AddEngine(const EngineDefinition& engine) const {
    const bool fixed = EngineCatalog::IsFixedCategory(engine.category.view());
    writeFileBytes(file((fixed ? "Site/" : "User/") + engine.name.str() + ".vnp"),
                   EngineFile::CanonicalBytes(engine));
}

void ProgramFolder::SetOption(const std::string& key, const std::string& value) const {
    OptionsStore options(path());
    options.WriteString(OptionsStore::kOptionsSection, key, value);
}
