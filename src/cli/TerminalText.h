#pragma once

#include <string>
#include <string_view>

// Text that came from a server, made safe to print on a terminal: control bytes (C0, DEL and
// the C1 controls in UTF-8) and bytes that are no UTF-8 show as "\xNN", so an answer cannot
// move the cursor, recolour the terminal or hide what follows. A backslash shows as "\\".
class TerminalText {
  public:
    static std::string Escape(std::string_view text);
};
