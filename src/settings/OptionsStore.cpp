#include "settings/OptionsStore.h"

#include "platform/MessageSink.h"
#include "platform/ProfileFile.h"
#include "platform/RegistryKey.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

// The registry key and value that name the program folder.
constexpr std::string_view kAppPathKey = "Software\\Vantorell2001";
constexpr std::string_view kAppPathValue = "AppPath";
// The folder separator, which also ends a folder path.
constexpr char kFolderSeparator = '/';
// The folder used when even the current directory cannot be found.
constexpr std::string_view kFallbackFolder = ".";

// The keys of the settings in the section "Options".
constexpr std::string_view kKeyUseProxy = "UseProxy";
constexpr std::string_view kKeyProxyServer = "ProxyServer";
constexpr std::string_view kKeyProxyPort = "ProxyPort";
constexpr std::string_view kKeyMaxResult = "MaxResult";
constexpr std::string_view kKeyMaxEngine = "MaxEngine";
constexpr std::string_view kKeyQueryHistory = "QueryHistory";
constexpr std::string_view kKeySendTimeout = "SendTimeout";
constexpr std::string_view kKeyRecvTimeout = "RecvTimeout";
constexpr std::string_view kKeySearchTimeout = "SearchTimeout";
constexpr std::string_view kKeyWinState = "WinState";
constexpr std::string_view kKeyAutoRemoveUrl = "AutoRemoveUrl";
constexpr std::string_view kKeyCleanAddresses = "CleanAddresses";
constexpr std::string_view kKeyBrowser = "Browser";
constexpr std::string_view kKeyBrowserPath = "BrowserPath";

// A boolean's stored numbers, and the integer that stands for an absent key when reading it.
constexpr int kStoredTrue = 1;
constexpr int kStoredFalse = 0;
constexpr int kAbsentBoolean = -1;

constexpr bool kDefaultUseProxy = false;
constexpr std::string_view kDefaultProxyServer = "";
constexpr std::string_view kDefaultProxyPort = "8080";
constexpr int kDefaultMaxResult = 50;
constexpr int kDefaultMaxEngine = 5;
constexpr bool kDefaultQueryHistory = true;
constexpr int kDefaultSendTimeoutSeconds = 90;
constexpr int kDefaultRecvTimeoutSeconds = 90;
constexpr int kDefaultSearchTimeoutSeconds = 90;
constexpr int kDefaultWinState = OptionsStore::kWinStateMaximized;
constexpr bool kDefaultAutoRemoveUrl = false;
constexpr bool kDefaultCleanAddresses = true;
constexpr int kDefaultBrowser = BrowserInternetExplorer;

// Where each browser's executable is registered: the key of its default value.
constexpr std::string_view kInternetExplorerKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
constexpr std::string_view kNetscapeKey = "NetscapeMarkup\\shell\\open\\command";
constexpr std::string_view kOperaKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe";
constexpr std::string_view kAmericaOnlineKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\AOL.EXE";
// The registered Netscape command line ends its executable at the first blank.
constexpr char kCommandLineBlank = ' ';

// The registry key that holds a browser's executable as its default value; false for a
// choice that is not registered there.
bool BrowserKeyOf(int browser, RegistryKey::Root& root, std::string_view& key) {
    root = RegistryKey::Root::LocalMachine;
    switch (browser) {
    case BrowserInternetExplorer:
        key = kInternetExplorerKey;
        return true;
    case BrowserNetscape:
        root = RegistryKey::Root::ClassesRoot;
        key = kNetscapeKey;
        return true;
    case BrowserOpera:
        key = kOperaKey;
        return true;
    case BrowserAmericaOnline:
        key = kAmericaOnlineKey;
        return true;
    default:
        return false;
    }
}

// Reads the default value of the key into value; false when it cannot be read.
bool ReadRegisteredDefault(RegistryKey::Root root, std::string_view key, std::string& value) {
    RegistryKey registry(MessageSink::processDefault());
    registry.Open(root, key);
    const bool read = registry.ReadString(RegistryKey::kDefaultValueName, value);
    registry.Close();
    return read;
}

std::string AppPathFromRegistry() {
    RegistryKey key(MessageSink::processDefault());
    std::string folder;
    key.Open(RegistryKey::Root::CurrentUser, kAppPathKey);
    key.ReadString(kAppPathValue, folder);
    key.Close();
    return folder;
}

// The AppPath value when the registry file holds it; creates nothing.
std::string AppPathFromExistingRegistry() {
    const std::string file = RegistryKey::RegistryFilePath();
    if (file.empty()) {
        return {};
    }
    const ProfileFile registry(file);
    const std::string section =
        RegistryKey::SectionName(RegistryKey::Root::CurrentUser, kAppPathKey);
    const std::optional<std::string> value = registry.ReadValue(section, kAppPathValue);
    return value ? value->substr(0, RegistryKey::kMaxStringLength) : std::string();
}

std::string CurrentFolder() {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    if (error) {
        return std::string(kFallbackFolder);
    }
    return current.string();
}

// The program folder: commandLineFolder, VANTORELL_APPPATH, the registry as registered() reads
// it, the current folder.
std::string AppPathOf(std::string_view commandLineFolder, std::string (*registered)()) {
    if (!commandLineFolder.empty()) {
        return std::string(commandLineFolder);
    }
    const char* environment = std::getenv("VANTORELL_APPPATH");
    if (environment != nullptr && environment[0] != '\0') {
        return environment;
    }
    // An empty value names no folder, so it counts as unreadable.
    const std::string fromRegistry = registered();
    if (!fromRegistry.empty()) {
        return fromRegistry;
    }
    return CurrentFolder();
}

} // namespace

OptionsStore::OptionsStore(std::string programFolder)
    : m_programFolder(std::move(programFolder)), m_settingsPath(m_programFolder) {
    if (m_settingsPath.empty() || m_settingsPath.back() != kFolderSeparator) {
        m_settingsPath += kFolderSeparator;
    }
    m_settingsPath += kSettingsFileName;
}

const std::string& OptionsStore::ProgramFolder() const {
    return m_programFolder;
}

const std::string& OptionsStore::SettingsPath() const {
    return m_settingsPath;
}

std::string OptionsStore::GetAppPath(std::string_view commandLineFolder) {
    return AppPathOf(commandLineFolder, &AppPathFromRegistry);
}

std::string OptionsStore::FindAppPath(std::string_view commandLineFolder) {
    return AppPathOf(commandLineFolder, &AppPathFromExistingRegistry);
}

bool OptionsStore::GetUseProxy() const {
    return ReadBoolean(kOptionsSection, kKeyUseProxy, kDefaultUseProxy);
}

bool OptionsStore::SetUseProxy(bool value) {
    return WriteBoolean(kOptionsSection, kKeyUseProxy, value);
}

std::string OptionsStore::GetProxyServer() const {
    return ReadString(kOptionsSection, kKeyProxyServer, kDefaultProxyServer);
}

bool OptionsStore::SetProxyServer(std::string_view value) {
    return WriteString(kOptionsSection, kKeyProxyServer, value);
}

std::string OptionsStore::GetProxyPort() const {
    return ReadString(kOptionsSection, kKeyProxyPort, kDefaultProxyPort);
}

bool OptionsStore::SetProxyPort(std::string_view value) {
    return WriteString(kOptionsSection, kKeyProxyPort, value);
}

int OptionsStore::GetMaxResult() const {
    return ReadInteger(kOptionsSection, kKeyMaxResult, kDefaultMaxResult);
}

bool OptionsStore::SetMaxResult(int value) {
    return WriteInteger(kOptionsSection, kKeyMaxResult, value);
}

int OptionsStore::GetMaxEngine() const {
    return ReadInteger(kOptionsSection, kKeyMaxEngine, kDefaultMaxEngine);
}

bool OptionsStore::SetMaxEngine(int value) {
    return WriteInteger(kOptionsSection, kKeyMaxEngine, value);
}

bool OptionsStore::GetQueryHistory() const {
    return ReadBoolean(kOptionsSection, kKeyQueryHistory, kDefaultQueryHistory);
}

bool OptionsStore::SetQueryHistory(bool value) {
    return WriteBoolean(kOptionsSection, kKeyQueryHistory, value);
}

int OptionsStore::GetSendTimeout() const {
    return ReadInteger(kOptionsSection, kKeySendTimeout, kDefaultSendTimeoutSeconds);
}

bool OptionsStore::SetSendTimeout(int value) {
    return WriteInteger(kOptionsSection, kKeySendTimeout, value);
}

int OptionsStore::GetRecvTimeout() const {
    return ReadInteger(kOptionsSection, kKeyRecvTimeout, kDefaultRecvTimeoutSeconds);
}

bool OptionsStore::SetRecvTimeout(int value) {
    return WriteInteger(kOptionsSection, kKeyRecvTimeout, value);
}

int OptionsStore::GetSearchTimeout() const {
    return ReadInteger(kOptionsSection, kKeySearchTimeout, kDefaultSearchTimeoutSeconds);
}

bool OptionsStore::SetSearchTimeout(int value) {
    return WriteInteger(kOptionsSection, kKeySearchTimeout, value);
}

int OptionsStore::GetWinState() const {
    return ReadInteger(kOptionsSection, kKeyWinState, kDefaultWinState);
}

bool OptionsStore::SetWinState(int value) {
    return WriteInteger(kOptionsSection, kKeyWinState, value);
}

bool OptionsStore::GetAutoRemoveUrl() const {
    return ReadBoolean(kOptionsSection, kKeyAutoRemoveUrl, kDefaultAutoRemoveUrl);
}

bool OptionsStore::SetAutoRemoveUrl(bool value) {
    return WriteBoolean(kOptionsSection, kKeyAutoRemoveUrl, value);
}

bool OptionsStore::GetCleanAddresses() const {
    return ReadBoolean(kOptionsSection, kKeyCleanAddresses, kDefaultCleanAddresses);
}

bool OptionsStore::SetCleanAddresses(bool value) {
    return WriteBoolean(kOptionsSection, kKeyCleanAddresses, value);
}

int OptionsStore::GetBrowser() const {
    return ReadInteger(kOptionsSection, kKeyBrowser, kDefaultBrowser);
}

bool OptionsStore::SetBrowser(int value) {
    return WriteInteger(kOptionsSection, kKeyBrowser, value);
}

bool OptionsStore::SetBrowserPath(std::string_view value) {
    return WriteString(kOptionsSection, kKeyBrowserPath, value);
}

bool OptionsStore::GetBrowserPath(std::string& path) const {
    const int browser = GetBrowser();
    path.clear();
    switch (browser) {
    case BrowserInternetExplorer:
        return ReadRegisteredDefault(RegistryKey::Root::LocalMachine, kInternetExplorerKey, path);
    case BrowserOpera:
        return ReadRegisteredDefault(RegistryKey::Root::LocalMachine, kOperaKey, path);
    case BrowserAmericaOnline:
        return ReadRegisteredDefault(RegistryKey::Root::LocalMachine, kAmericaOnlineKey, path);
    case BrowserNetscape: {
        if (!ReadRegisteredDefault(RegistryKey::Root::ClassesRoot, kNetscapeKey, path)) {
            return false;
        }
        const std::size_t blank = path.find(kCommandLineBlank);
        if (blank != std::string::npos) {
            path.resize(blank);
        }
        return true;
    }
    case BrowserOther:
        path = ReadString(kOptionsSection, kKeyBrowserPath, "");
        return true;
    default:
        return true;
    }
}

bool OptionsStore::GetRegisteredBrowser(int browser, std::string& path) const {
    path.clear();
    RegistryKey::Root root;
    std::string_view key;
    if (!BrowserKeyOf(browser, root, key)) {
        return false;
    }
    const ProfileFile registry(RegistryKey::RegistryFilePath());
    const std::optional<std::string> value =
        registry.ReadValue(RegistryKey::SectionName(root, key), RegistryKey::kDefaultValueName);
    if (!value) {
        return false;
    }
    path = value->substr(0, RegistryKey::kMaxStringLength);
    if (browser == BrowserNetscape) {
        path = path.substr(0, path.find(kCommandLineBlank));
    }
    return true;
}

std::string OptionsStore::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
    const ProfileFile file(m_settingsPath);
    return file.ReadString(section, key, defaultValue, kStringBufferSize);
}

bool OptionsStore::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    ProfileFile file(m_settingsPath);
    return file.WriteString(section, key, value);
}

int OptionsStore::ReadInteger(std::string_view section, std::string_view key,
                              int defaultValue) const {
    const ProfileFile file(m_settingsPath);
    return file.ReadInt(section, key, defaultValue);
}

bool OptionsStore::WriteInteger(std::string_view section, std::string_view key, int value) {
    return WriteString(section, key, std::to_string(value));
}

bool OptionsStore::ReadBoolean(std::string_view section, std::string_view key,
                               bool defaultValue) const {
    const int stored = ReadInteger(section, key, kAbsentBoolean);
    if (stored == kAbsentBoolean) {
        return defaultValue;
    }
    return stored == kStoredTrue;
}

bool OptionsStore::WriteBoolean(std::string_view section, std::string_view key, bool value) {
    int stored = kStoredFalse;
    if (value) {
        stored = kStoredTrue;
    }
    return WriteInteger(section, key, stored);
}
