#include "platform/RegistryKey.h"

#include "platform/ProfileFile.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

constexpr std::string_view kCurrentUserPrefix = "HKEY_CURRENT_USER\\";
constexpr std::string_view kLocalMachinePrefix = "HKEY_LOCAL_MACHINE\\";
constexpr std::string_view kClassesRootPrefix = "HKEY_CLASSES_ROOT\\";
constexpr std::string_view kRegistryFileUnderConfig = "Vantorell2001/registry.ini";
constexpr std::string_view kConfigUnderHome = ".config";

// The environment variable's value, or empty when it is unset.
std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        return {};
    }
    return value;
}

} // namespace

RegistryKey::RegistryKey(MessageSink& messages) : m_messages(messages) {
}

bool RegistryKey::Open(Root root, std::string_view subKeyPath) {
    Close();
    const std::string file = RegistryFilePath();
    const std::string section = SectionName(root, subKeyPath);
    bool opened = false;
    if (!file.empty()) {
        const std::filesystem::path folder = std::filesystem::path(file).parent_path();
        if (!folder.empty()) {
            std::error_code ignored;
            std::filesystem::create_directories(folder, ignored);
        }
        ProfileFile registry(file);
        opened = registry.AddSection(section);
    }
    if (!opened) {
        m_messages.showMessage(MessageSink::kAppCaption, kCreateErrorText);
        return false;
    }
    m_file = file;
    m_section = section;
    return true;
}

bool RegistryKey::ReadString(std::string_view valueName, std::string& out) const {
    if (!IsOpen()) {
        return false;
    }
    const ProfileFile registry(m_file);
    const std::optional<std::string> value = registry.ReadValue(m_section, valueName);
    if (!value) {
        return false;
    }
    out = value->substr(0, kMaxStringLength);
    return true;
}

void RegistryKey::Close() {
    m_file.clear();
    m_section.clear();
}

bool RegistryKey::IsOpen() const {
    return !m_file.empty();
}

std::string RegistryKey::RegistryFilePath() {
    const std::string overridden = Environment("VANTORELL_REGISTRY");
    if (!overridden.empty()) {
        return overridden;
    }
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG base directory rules say.
    std::filesystem::path config = Environment("XDG_CONFIG_HOME");
    if (!config.is_absolute()) {
        const std::string home = Environment("HOME");
        if (home.empty()) {
            return {};
        }
        config = std::filesystem::path(home) / kConfigUnderHome;
    }
    return (config / kRegistryFileUnderConfig).string();
}

std::string RegistryKey::SectionName(Root root, std::string_view subKeyPath) {
    std::string section;
    if (root == Root::LocalMachine) {
        section = kLocalMachinePrefix;
    } else if (root == Root::ClassesRoot) {
        section = kClassesRootPrefix;
    } else {
        section = kCurrentUserPrefix;
    }
    section += subKeyPath;
    return section;
}
