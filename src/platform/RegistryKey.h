#pragma once

#include "platform/MessageSink.h"

#include <cstddef>
#include <string>
#include <string_view>

// One open key of the "registry", the per-user store of the program's installation values.
//
// On Linux the registry is one INI file:
//   - its path is the environment variable VANTORELL_REGISTRY when that is set and not empty,
//     else "$XDG_CONFIG_HOME/Vantorell2001/registry.ini", with XDG_CONFIG_HOME defaulting to
//     "$HOME/.config" (a relative XDG_CONFIG_HOME counts as unset);
//   - a key is a section named by its root and its path, for example the key
//     "Software\Vantorell2001" under the current user's root is the section
//     "[HKEY_CURRENT_USER\Software\Vantorell2001]" (names compared without regard to case);
//   - a string value is an entry "Name=text" in that section.
// The file is read afresh by every call, so values edited by hand or by an installer script
// take effect at once.
class RegistryKey {
  public:
    enum class Root {
        CurrentUser,  // section prefix "HKEY_CURRENT_USER\"
        LocalMachine, // section prefix "HKEY_LOCAL_MACHINE\"
        ClassesRoot,  // section prefix "HKEY_CLASSES_ROOT\"
    };

    // The name of a key's default (unnamed) value: the entry "@=text", as .reg files write it.
    static constexpr std::string_view kDefaultValueName = "@";
    // The longest string value ReadString returns, in bytes.
    static constexpr std::size_t kMaxStringLength = 255;
    // The text shown when a key can neither be opened nor created.
    static constexpr std::string_view kCreateErrorText = "REGISTRY CREATE ERROR!";

    explicit RegistryKey(MessageSink& messages);

    // Opens the key, creating it (the section, and the registry's folder and file) when it does
    // not exist. When neither works, shows kCreateErrorText with the application caption and
    // the key stays closed. Returns true when the key is open.
    bool Open(Root root, std::string_view subKeyPath);
    // Reads the string value valueName, cut to kMaxStringLength bytes. Returns false when the
    // value is absent or the key is closed; out is then left as it was.
    bool ReadString(std::string_view valueName, std::string& out) const;
    // Closes the key if it is open. The destructor does not close it; every user calls Close.
    void Close();
    bool IsOpen() const;

    // The registry file's path by the mapping above; empty when no home folder is known.
    static std::string RegistryFilePath();
    // The section that holds the key subKeyPath under root.
    static std::string SectionName(Root root, std::string_view subKeyPath);

  private:
    MessageSink& m_messages;
    std::string m_file;    // registry file of the open key; empty when closed
    std::string m_section; // section of the open key
};
