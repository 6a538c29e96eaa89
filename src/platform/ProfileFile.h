#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// One INI ("profile") file, read and written with the rules of the Windows private-profile
// functions, so that files written by either system read the same on both.
//
// Reading: lines end in CR LF, LF or nothing (the last line). "[Name]" opens a section, a line
// starting with ';' is a comment, "key=value" is an entry; other lines are ignored. Section and
// key names are compared without regard to ASCII letter case and with surrounding white space
// trimmed; the first matching section and, in it, the first matching key count. A value has its
// surrounding white space trimmed and then loses one pair of enclosing double or single quotes.
//
// Writing: an existing entry gets its new value on its own line, in place; a new entry goes
// after the last non-blank line of its section; a new section goes at the end of the file. New
// lines end in CR LF. Every other byte of the file stays as it was. The new content is written
// to a temporary file in the same folder and renamed over the old one, so a failed write leaves
// the old file untouched. A file without write permission is never replaced, and neither is a
// file that is there but cannot be read (a read error, a folder at its name): rewriting it from
// what could be read would lose every other entry. Readers treat such a file as absent.
//
// Nothing is cached: every call reads the file afresh.
class ProfileFile {
  public:
    explicit ProfileFile(std::string path);
    virtual ~ProfileFile();

    const std::string& Path() const;

    // The value of key in section, or nothing when the file, the section or the key is absent.
    std::optional<std::string> ReadValue(std::string_view section, std::string_view key) const;
    // The value, or defaultValue when absent, cut to bufferSize - 1 characters as a caller's
    // buffer of bufferSize bytes (terminating zero included) would hold it.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue, std::size_t bufferSize) const;
    // The value read as a decimal integer (see ParseInteger), or defaultValue when absent.
    int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;
    // True when the file has a section of that name.
    bool HasSection(std::string_view section) const;

    // Sets key in section to value, creating the file, section and key as needed. Returns false
    // when the file could not be read or written or when a name or the value cannot be stored
    // on one line (an empty name, a line end in any of them, '=' in the key, ']' in the
    // section).
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Makes sure the section exists, appending an empty "[Name]" when it does not. Returns true
    // when the section exists afterwards (without writing anything when it already did); false
    // when the file could not be read or written.
    bool AddSection(std::string_view section);

    // The platform's integer rule: optional leading white space, an optional minus sign, then the
    // leading decimal digits; text that does not start with a digit reads as 0. Numbers too large
    // for 32 bits wrap around as they do on the platform.
    static int ParseInteger(std::string_view text);

  protected:
    // Writes all of content to the open temporary file. Returns false on failure. Tests override
    // it to simulate a failing disk.
    virtual bool WriteTemporary(int descriptor, std::string_view content);

  private:
    // Replaces the file with content by way of a temporary file beside it.
    bool ReplaceContent(const std::string& oldContent, const std::string& newContent,
                        bool fileExisted);

    std::string m_path;
};
