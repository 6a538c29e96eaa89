#pragma once

#include <string>
#include <string_view>

// The line-end translation of Windows text-mode files, done explicitly so that files written
// here read the same there and the other way round. Writing turns every line feed into carriage
// return and line feed; reading ends at the first byte 26 and turns every carriage return
// followed by a line feed back into a line feed. Other bytes pass unchanged.
class TextMode {
  public:
    // Byte 26 (Ctrl+Z) ends a text-mode file when it is read.
    static constexpr char kEndOfFile = '\x1a';

    // The bytes as a text-mode write puts them on disk.
    static std::string ToDisk(std::string_view text);
    // Appends the bytes as a text-mode write puts them on disk to out.
    static void AppendToDisk(std::string_view text, std::string& out);
    // The text a text-mode read gives for the bytes on disk.
    static std::string FromDisk(std::string_view bytes);
    // The bytes a text-mode read looks at: those before the first byte 26.
    static std::string_view BeforeEndOfFile(std::string_view bytes);
    // Reads from the front of bytes (already cut by BeforeEndOfFile) into out, undoing the
    // line-end translation, until out holds capacity bytes or bytes is used up. Removes what
    // was read from bytes and returns the number of bytes put into out. For reading a large file
    // in fixed-size pieces without a translated copy of the whole of it.
    static std::size_t ReadFromDisk(std::string_view& bytes, char* out, std::size_t capacity);
};
