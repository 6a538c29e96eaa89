#pragma once

#include <cstddef>
#include <string_view>

// Where to cut a text to a byte limit without splitting a UTF-8 character. The program's texts
// are 8-bit and may as well be Latin-1, so only a well-formed UTF-8 sequence that the limit
// would split moves the cut back to its first byte; any other bytes are cut at the limit.
class Utf8Cut {
  public:
    // The number of leading bytes of text to keep so that it holds at most limit bytes.
    static std::size_t Length(std::string_view text, std::size_t limit);
    // The leading bytes of text that Length keeps.
    static std::string_view Prefix(std::string_view text, std::size_t limit);
    // The length of the well-formed UTF-8 sequence that begins at start of text, or 0 when
    // no well-formed sequence begins there (overlong forms, surrogates and code points above
    // U+10FFFF are not well-formed).
    static std::size_t SequenceLength(std::string_view text, std::size_t start);

  private:
    static bool IsContinuation(unsigned char byte);
};
