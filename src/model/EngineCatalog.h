#pragma once

#include "model/EngineDefinition.h"
#include "platform/MessageSink.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Every engine the program knows, grouped by category, with a current category. Filled from
// the ".vnp" files of the program folder's "Site" folder (engines of the fixed categories) and
// "User" folder (engines of any other category). Nothing is sorted: groups keep the order in
// which their category was first met, engines the order in which they were added.
class EngineCatalog {
  public:
    static constexpr std::size_t kFixedCategoryCount = 18;

    // programFolder: the folder that holds "Site" and "User"; a trailing "/" is allowed.
    EngineCatalog(std::string programFolder, MessageSink& messages);

    // The fixed categories in the order the search bar lists them.
    static const std::array<std::string_view, kFixedCategoryCount>& FixedCategories();
    // True when category is one of the fixed categories, spelled exactly.
    static bool IsFixedCategory(std::string_view category);

    // Empties the catalogue and reads the Site folder, then the User folder. A file that
    // cannot be read, or that holds no engine (no name, no grm line), is passed over and the
    // rest are loaded; once both folders are read, one "Read Engine Property Error!" message
    // names every file passed over and why.
    void Load();
    // Appends a copy of def to the group named by its category, creating the group at the end
    // when no group has that name.
    void Add(const EngineDefinition& def);

    int32_t CategoryCount() const;
    // The name of the group at index; empty when out of range.
    std::string_view CategoryName(int32_t index) const;
    // Makes the group named exactly category the current group. With no such group there is no
    // current group and the result is false.
    bool SelectCategory(std::string_view category);
    // Engines in the current group; 0 when there is none.
    int32_t EngineCount() const;
    // The engine at index in the current group, or nullptr when out of range.
    const EngineDefinition* Engine(int32_t index) const;
    // Overwrites the engine at index in the current group with def and rewrites the Site file
    // that holds its old definition in canonical form. False when no file was rewritten (none
    // holds the old definition, or the write failed); the definition in memory changes anyway.
    bool UpdateEngine(int32_t index, const EngineDefinition& def);
    // Copies each file into the Site folder (when its category is a fixed one) or the User
    // folder, replacing a file of the same name. Each failure shows a warning naming the file.
    // The catalogue in memory does not change; the engines count from the next Load.
    void ImportEngineFiles(const std::vector<std::string>& paths);

    // The categories the search bar offers: the fixed ones, then every group name that is not
    // one of them, in group order.
    std::vector<std::string> SearchBarCategories() const;

    // The engine files the last Load could not read or found no engine in, in the order met; empty
    // when every file was read.
    const std::vector<std::string>& UnreadablePaths() const;

    const std::string& SiteFolder() const;
    const std::string& UserFolder() const;

  private:
    struct CategoryGroup {
        std::string name;
        std::vector<EngineDefinition> engines;
    };

    // Reads every engine file of folder into the catalogue; a file that cannot be read joins
    // m_unreadablePaths.
    void LoadFolder(const std::string& folder);
    // False when the copy failed; the target file is then as it was.
    bool ImportEngineFile(const std::string& path);
    CategoryGroup* CurrentGroup();
    const CategoryGroup* CurrentGroup() const;

    MessageSink& m_messages;
    std::string m_siteFolder;
    std::string m_userFolder;
    std::vector<CategoryGroup> m_groups;
    std::vector<std::string> m_unreadablePaths;
    // Why each file of m_unreadablePaths was passed over, such as "no name".
    std::vector<std::string> m_unreadableCauses;
    // Index into m_groups of the current group; -1 when there is none.
    int32_t m_current;
};
