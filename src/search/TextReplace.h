#pragma once

#include <string>
#include <string_view>

// Replacing tokens in request texts: the keyword in a path, the page offsets, the grammar's
// escaped characters.
class TextReplace {
  public:
    // Replaces every occurrence of find in text, scanning left to right; a replacement is never
    // searched again.
    static void ReplaceAll(std::string& text, std::string_view find, std::string_view replace);
};
