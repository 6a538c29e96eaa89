#include "model/EngineCatalog.h"

#include "model/EngineFile.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr int32_t kNoGroup = -1;
constexpr std::string_view kSiteFolderName = "Site";
constexpr std::string_view kUserFolderName = "User";
constexpr char kPathSeparator = '/';
// The folder meant by an empty program folder.
constexpr std::string_view kCurrentFolder = ".";
constexpr std::string_view kReadErrorText = "Read Engine Property Error!";
// Between the read error text and the quoted paths of the files passed over, and between
// two of those paths.
constexpr std::string_view kReadErrorSeparator = "--";
constexpr std::string_view kPathListSeparator = ", ";
// Around the cause that follows each path passed over.
constexpr std::string_view kCauseOpen = " (";
constexpr std::string_view kCauseClose = ")";
constexpr std::string_view kCannotReadText = "cannot be read";
constexpr std::string_view kImportFailedText = "Update or Add engine failed.";
// Between the import failure text and the quoted path of the file.
constexpr std::string_view kImportFailedSeparator = "--";
constexpr char kDoubleQuote = '"';
// Appended to a target's name while the copy is made, which then replaces it by a rename.
constexpr std::string_view kTemporarySuffix = ".tmp";

const std::array<std::string_view, EngineCatalog::kFixedCategoryCount> kFixedCategories = {
    "The Web",
    "The Web - Canada",
    "The Web - UK",
    "Mp3",
    "Software Download",
    "Images",
    "File Search",
    "Buy Books",
    "Buy Software",
    "Buy Hardware",
    "Newsgroups",
    "E-mail Addresses",
    "Phone Numbers",
    "Auctions",
    "Sports News",
    "Hardware Reviews",
    "Cars",
    "Encyclopedias"};

std::string withoutTrailingSeparators(std::string folder) {
    while (folder.size() > 1 && folder.back() == kPathSeparator) {
        folder.pop_back();
    }
    if (folder.empty()) {
        folder = kCurrentFolder;
    }
    return folder;
}

std::string subfolder(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (path.back() != kPathSeparator) {
        path += kPathSeparator;
    }
    path += name;
    return path;
}

} // namespace

EngineCatalog::EngineCatalog(std::string programFolder, MessageSink& messages)
    : m_messages(messages), m_current(kNoGroup) {
    const std::string folder = withoutTrailingSeparators(std::move(programFolder));
    m_siteFolder = subfolder(folder, kSiteFolderName);
    m_userFolder = subfolder(folder, kUserFolderName);
}

const std::array<std::string_view, EngineCatalog::kFixedCategoryCount>&
EngineCatalog::FixedCategories() {
    return kFixedCategories;
}

bool EngineCatalog::IsFixedCategory(std::string_view category) {
    for (std::string_view fixed : kFixedCategories) {
        if (category == fixed) {
            return true;
        }
    }
    return false;
}

void EngineCatalog::Load() {
    m_groups.clear();
    m_current = kNoGroup;
    m_unreadablePaths.clear();
    m_unreadableCauses.clear();
    LoadFolder(m_siteFolder);
    LoadFolder(m_userFolder);
    if (m_unreadablePaths.empty()) {
        return;
    }
    // One message for the whole load, naming each file once.
    std::string text(kReadErrorText);
    text += kReadErrorSeparator;
    for (std::size_t i = 0; i < m_unreadablePaths.size(); ++i) {
        if (i > 0) {
            text += kPathListSeparator;
        }
        text += kDoubleQuote;
        text += m_unreadablePaths[i];
        text += kDoubleQuote;
        text += kCauseOpen;
        text += m_unreadableCauses[i];
        text += kCauseClose;
    }
    m_messages.showMessage(MessageSink::kAppCaption, text);
}

void EngineCatalog::LoadFolder(const std::string& folder) {
    // A missing folder holds no engines. Entries come in the file system's order.
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    const fs::directory_iterator end;
    while (!error && entries != end) {
        const fs::directory_entry& entry = *entries;
        std::error_code entryError;
        const bool isDirectory = entry.is_directory(entryError);
        const bool named = EngineFile::IsEngineFileName(entry.path().filename().string());
        if (named && !isDirectory) {
            EngineDefinition def;
            std::string lack;
            const EngineFile::ReadResult result =
                EngineFile::ReadEngineFile(entry.path().string(), def, &lack);
            if (result == EngineFile::ReadResult::Unreadable) {
                lack = kCannotReadText;
            }
            if (result == EngineFile::ReadResult::Unreadable ||
                result == EngineFile::ReadResult::NoEngine) {
                m_unreadablePaths.push_back(entry.path().string());
                m_unreadableCauses.push_back(lack);
            }
            // A file that went away since the listing is passed over.
            if (result == EngineFile::ReadResult::Read) {
                Add(def);
            }
        }
        entries.increment(error);
    }
}

const std::vector<std::string>& EngineCatalog::UnreadablePaths() const {
    return m_unreadablePaths;
}

void EngineCatalog::Add(const EngineDefinition& def) {
    const std::string_view category = def.category.view();
    for (CategoryGroup& group : m_groups) {
        if (group.name == category) {
            group.engines.push_back(def);
            return;
        }
    }
    CategoryGroup group;
    group.name = std::string(category);
    group.engines.push_back(def);
    m_groups.push_back(std::move(group));
}

int32_t EngineCatalog::CategoryCount() const {
    return static_cast<int32_t>(m_groups.size());
}

std::string_view EngineCatalog::CategoryName(int32_t index) const {
    if (index < 0 || index >= CategoryCount()) {
        return {};
    }
    return m_groups[static_cast<std::size_t>(index)].name;
}

bool EngineCatalog::SelectCategory(std::string_view category) {
    m_current = kNoGroup;
    for (std::size_t i = 0; i < m_groups.size(); ++i) {
        if (m_groups[i].name == category) {
            m_current = static_cast<int32_t>(i);
            return true;
        }
    }
    return false;
}

int32_t EngineCatalog::EngineCount() const {
    const CategoryGroup* group = CurrentGroup();
    if (group == nullptr) {
        return 0;
    }
    return static_cast<int32_t>(group->engines.size());
}

const EngineDefinition* EngineCatalog::Engine(int32_t index) const {
    if (index < 0 || index >= EngineCount()) {
        return nullptr;
    }
    return &CurrentGroup()->engines[static_cast<std::size_t>(index)];
}

bool EngineCatalog::UpdateEngine(int32_t index, const EngineDefinition& def) {
    if (index < 0 || index >= EngineCount()) {
        return false;
    }
    EngineDefinition& engine = CurrentGroup()->engines[static_cast<std::size_t>(index)];
    const EngineDefinition oldDef = engine;
    engine = def;
    return EngineFile::RewriteEngineFile(oldDef, def, m_siteFolder) > 0;
}

void EngineCatalog::ImportEngineFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (ImportEngineFile(path)) {
            continue;
        }
        std::string text(kImportFailedText);
        text += kImportFailedSeparator;
        text += kDoubleQuote;
        text += path;
        text += kDoubleQuote;
        m_messages.showMessage(MessageSink::kWarningCaption, text);
    }
}

bool EngineCatalog::ImportEngineFile(const std::string& path) {
    EngineDefinition def;
    if (EngineFile::ReadEngineFile(path, def) != EngineFile::ReadResult::Read) {
        return false;
    }
    const std::string& folder = IsFixedCategory(def.category.view()) ? m_siteFolder : m_userFolder;
    const std::size_t lastSeparator = path.rfind(kPathSeparator);
    const std::string name =
        lastSeparator == std::string::npos ? path : path.substr(lastSeparator + 1);
    if (name.empty()) {
        return false;
    }
    // A fresh installation may lack the User folder; make it rather than refuse the file.
    std::error_code error;
    fs::create_directory(folder, error);
    const std::string target = subfolder(folder, name);
    const std::string temporary = target + std::string(kTemporarySuffix);
    fs::copy_file(path, temporary, fs::copy_options::overwrite_existing, error);
    if (!error) {
        fs::rename(temporary, target, error);
    }
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

std::vector<std::string> EngineCatalog::SearchBarCategories() const {
    std::vector<std::string> categories(kFixedCategories.begin(), kFixedCategories.end());
    for (const CategoryGroup& group : m_groups) {
        if (!IsFixedCategory(group.name)) {
            categories.push_back(group.name);
        }
    }
    return categories;
}

const std::string& EngineCatalog::SiteFolder() const {
    return m_siteFolder;
}

const std::string& EngineCatalog::UserFolder() const {
    return m_userFolder;
}

EngineCatalog::CategoryGroup* EngineCatalog::CurrentGroup() {
    if (m_current == kNoGroup) {
        return nullptr;
    }
    return &m_groups[static_cast<std::size_t>(m_current)];
}

const EngineCatalog::CategoryGroup* EngineCatalog::CurrentGroup() const {
    if (m_current == kNoGroup) {
        return nullptr;
    }
    return &m_groups[static_cast<std::size_t>(m_current)];
}
