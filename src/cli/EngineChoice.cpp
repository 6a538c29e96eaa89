#include "cli/EngineChoice.h"

#include "model/EngineCatalog.h"

#include <algorithm>

bool EngineChoice::Pick(EngineCatalog& all, const std::vector<std::string>& names,
                        EngineCatalog& chosen, std::string& error) {
    std::vector<std::string> known;
    std::vector<std::string> found;
    for (int32_t group = 0; group < all.CategoryCount(); ++group) {
        all.SelectCategory(all.CategoryName(group));
        for (int32_t index = 0; index < all.EngineCount(); ++index) {
            EngineDefinition engine = *all.Engine(index);
            const std::string name = engine.name.str();
            if (std::find(known.begin(), known.end(), name) == known.end()) {
                known.push_back(name);
            }
            if (std::find(names.begin(), names.end(), name) == names.end()) {
                continue;
            }
            found.push_back(name);
            engine.category.set(kCategory);
            chosen.Add(engine);
        }
    }
    for (const std::string& name : names) {
        if (std::find(found.begin(), found.end(), name) != found.end()) {
            continue;
        }
        error = "unknown engine \"" + name + "\"; the engines are:";
        for (const std::string& engine : known) {
            error += " " + engine + ",";
        }
        error.pop_back();
        return false;
    }
    return true;
}
