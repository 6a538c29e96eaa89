#pragma once

#include <string>
#include <string_view>

// Text handed to readers that expect UTF-8: the bytes as they are where they are valid UTF-8,
// and U+FFFD in place of every byte sequence that is not, so no stray byte is passed on.
class ValidUtf8 {
  public:
    static std::string Repaired(std::string_view bytes);
};
