#pragma once

#include "platform/BrowserSettings.h"

#include <cstddef>
#include <string>
#include <string_view>

// Every persistent setting of the program, in the section "Options" of "propertys.ini" in the
// program folder. Nothing is cached: each getter reads the file at that moment and each setter
// writes it at once, so an instance lives for one operation and two instances see each other's
// writes. A setter returns false when its write failed: the file could not be written, or it is
// there but could not be read (it is then kept as it is rather than rewritten from nothing).
// The setting keeps its old value.
//
// Values are stored as text: integers in decimal, booleans as "1" or "0", strings as they are.
// Absent keys (or an absent file) read as the defaults below.
class OptionsStore : public BrowserSettings {
  public:
    // The settings file's name in the program folder.
    static constexpr std::string_view kSettingsFileName = "propertys.ini";
    // The section that holds every setting.
    static constexpr std::string_view kOptionsSection = "Options";
    // The buffer a string setting is read into; strings come back with at most one character
    // less.
    static constexpr std::size_t kStringBufferSize = 128;
    // WinState values: how the main window is shown.
    static constexpr int kWinStateMaximized = 3;
    static constexpr int kWinStateNormal = 5;

    // Settings of the given program folder. The program finds its folder once, at start
    // (GetAppPath), and hands it, or a store made from it, to whatever needs the settings.
    explicit OptionsStore(std::string programFolder);

    // The program folder this store belongs to, as given.
    const std::string& ProgramFolder() const;
    // The full path of the settings file.
    const std::string& SettingsPath() const;

    // The program folder, found in this order: commandLineFolder (the command line's
    // --app-path) when not empty; the environment variable VANTORELL_APPPATH when set and not
    // empty; the registry value AppPath of the key "Software\Vantorell2001" under the current
    // user (see RegistryKey); the current directory of the process. The registry's messages go
    // to MessageSink::processDefault().
    static std::string GetAppPath(std::string_view commandLineFolder = {});
    // GetAppPath for the commands that only read: the registry value is read, but its key and
    // file are not created when they are missing, and no message is shown.
    static std::string FindAppPath(std::string_view commandLineFolder = {});

    // Connect through an HTTP proxy. Default false.
    bool GetUseProxy() const;
    bool SetUseProxy(bool value);
    // The proxy's host name or address. Default empty.
    std::string GetProxyServer() const;
    bool SetProxyServer(std::string_view value);
    // The proxy's port as decimal text. Default "8080".
    std::string GetProxyPort() const;
    bool SetProxyPort(std::string_view value);
    // Most results one search gathers. Default 50.
    int GetMaxResult() const;
    bool SetMaxResult(int value);
    // Simultaneous transfers of one search. Default 5.
    int GetMaxEngine() const;
    bool SetMaxEngine(int value);
    // Keep searched keywords in the query history. Default true.
    bool GetQueryHistory() const;
    bool SetQueryHistory(bool value);
    // Socket send time-out in seconds. Default 90.
    int GetSendTimeout() const;
    bool SetSendTimeout(int value);
    // Socket receive time-out in seconds. Default 90.
    int GetRecvTimeout() const;
    bool SetRecvTimeout(int value);
    // Time limit of a whole search in seconds. Default 90.
    int GetSearchTimeout() const;
    bool SetSearchTimeout(int value);
    // How the main window was last shown: kWinStateMaximized (the default) or kWinStateNormal.
    int GetWinState() const;
    bool SetWinState(int value);
    // Drop results whose address repeats one already listed, while searching. Default false.
    bool GetAutoRemoveUrl() const;
    bool SetAutoRemoveUrl(bool value);
    // Turn search engines' redirect addresses back into the results' own addresses.
    // Default true.
    bool GetCleanAddresses() const;
    bool SetCleanAddresses(bool value);
    // The chosen browser, a BrowserChoice. Default BrowserInternetExplorer.
    int GetBrowser() const override;
    bool SetBrowser(int value);
    // The executable of BrowserOther. Default empty.
    bool SetBrowserPath(std::string_view value);
    // The executable of the chosen browser, into path (emptied first):
    //   - Internet Explorer, Opera, America Online: the default value of the browser's key
    //     "...\App Paths\<name>" under the local machine's root (see RegistryKey);
    //   - Netscape: the default value of "NetscapeMarkup\shell\open\command" under the classes
    //     root, ended at its first blank (the registered command line holds options after it);
    //   - BrowserOther: BrowserPath, which may be empty.
    // False when the chosen browser's registry value cannot be read. Another choice gives true
    // and an empty path. Opening a key creates it when it is missing, as the registry does.
    bool GetBrowserPath(std::string& path) const override;
    // The executable registered for a browser choice (Internet Explorer, Netscape, Opera or
    // America Online), into path, read as GetBrowserPath reads the chosen one's but without
    // creating a missing key: the Browser page asks for every choice just to name it. False
    // when the choice has no registered value (or is no registered choice).
    bool GetRegisteredBrowser(int browser, std::string& path) const;

    // The helpers every getter and setter is built on. Strings read come back with at most
    // kStringBufferSize - 1 characters. A boolean reads as an integer: absent gives
    // defaultValue, exactly 1 gives true, any other number gives false. Writes return false when
    // the file could not be written.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    bool WriteInteger(std::string_view section, std::string_view key, int value);
    bool ReadBoolean(std::string_view section, std::string_view key, bool defaultValue) const;
    bool WriteBoolean(std::string_view section, std::string_view key, bool value);

  private:
    std::string m_programFolder;
    std::string m_settingsPath;
};
