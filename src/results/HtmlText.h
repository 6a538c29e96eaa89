#pragma once

#include <string>
#include <string_view>

// Makes result texts safe to put into the exported HTML pages. Titles, summaries and addresses
// come from remote pages, so they must never turn into markup or into a link that runs script.
class HtmlText {
  public:
    // The link target written in place of an address that would run script: the link stays, so
    // every result block keeps its shape, but following it goes nowhere.
    static constexpr std::string_view kHarmlessLinkTarget = "#";

    // Appends text with "&", "<", ">" and the double quote written as "&amp;", "&lt;", "&gt;"
    // and "&quot;". Text without these characters is appended unchanged.
    static void AppendEscaped(std::string_view text, std::string& out);
    static std::string Escaped(std::string_view text);
    // True when a browser would run the address as script: its scheme is "javascript:",
    // "data:" or "vbscript:" in any letter case, read the way browsers read it (leading white
    // space and control bytes skipped, tabs and line breaks anywhere ignored).
    static bool RunsScript(std::string_view address);
    // Appends the address as the value of an href: escaped, or kHarmlessLinkTarget when it
    // would run script.
    static void AppendLinkTarget(std::string_view address, std::string& out);
};
