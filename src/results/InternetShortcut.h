#pragma once

#include <string>
#include <string_view>

class MessageSink;

// Save Address: an Internet shortcut file (".url") that points at a result's address, in the
// format Windows writes and Linux desktops open as a link: the line "[InternetShortcut]" and
// the line "URL=" followed by the address, each ending in CR LF.
class InternetShortcut {
  public:
    static constexpr std::string_view kSaveErrorMessage = "Save Address Error";
    // The file dialog of Save Address: default extension and filter.
    static constexpr std::string_view kDefaultExtension = ".url";
    static constexpr std::string_view kFilter = "URL Files (*.url)|*.url|All Files (*.*)|*.*||";

    // The file name proposed for a result: its title with "\", "/", ":", "*", "?", the double
    // quote, "<", ">", "!" and "." each replaced by "_". The dialog adds ".url".
    static std::string ProposeFileName(std::string_view title);
    // The file's bytes. The address must fit on one line.
    static std::string Bytes(std::string_view address);
    // Writes the shortcut, replacing the file only once the new one is complete. False when it
    // cannot be written, or when the address holds a line break and so cannot be stored.
    static bool Write(const std::string& path, std::string_view address);
    // The Save Address command after its dialog: writes the shortcut and shows
    // kSaveErrorMessage (no caption text) when that fails.
    static bool Save(const std::string& path, std::string_view address, MessageSink& messages);
};
