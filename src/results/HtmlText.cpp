#include "results/HtmlText.h"

#include <array>

namespace {

// Bytes up to and including the space that browsers skip before an address.
constexpr unsigned char kLastSkippedLeadingByte = 0x20;
constexpr char kSchemeEnd = ':';
// Schemes whose addresses run code in the page instead of loading one.
constexpr std::array<std::string_view, 3> kScriptSchemes = {"javascript:", "data:", "vbscript:"};
// The longest of kScriptSchemes; nothing after that many bytes decides.
constexpr std::size_t kLongestScriptScheme = 11;
static_assert(kScriptSchemes[0].size() == kLongestScriptScheme);

bool IsIgnoredInsideAddress(char c) {
    return c == '\t' || c == '\n' || c == '\r';
}

char AsciiLower(char c) {
    if (c >= 'A' && c <= 'Z') {
        return static_cast<char>(c - 'A' + 'a');
    }
    return c;
}

} // namespace

void HtmlText::AppendEscaped(std::string_view text, std::string& out) {
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
            break;
        }
    }
}

std::string HtmlText::Escaped(std::string_view text) {
    std::string out;
    AppendEscaped(text, out);
    return out;
}

bool HtmlText::RunsScript(std::string_view address) {
    std::size_t begin = 0;
    while (begin < address.size() &&
           static_cast<unsigned char>(address[begin]) <= kLastSkippedLeadingByte) {
        ++begin;
    }
    std::string scheme;
    for (std::size_t i = begin; i < address.size(); ++i) {
        if (scheme.size() == kLongestScriptScheme) {
            break;
        }
        const char c = address[i];
        if (IsIgnoredInsideAddress(c)) {
            continue;
        }
        scheme += AsciiLower(c);
        if (c == kSchemeEnd) {
            break;
        }
    }
    for (const std::string_view script : kScriptSchemes) {
        if (scheme == script) {
            return true;
        }
    }
    return false;
}

void HtmlText::AppendLinkTarget(std::string_view address, std::string& out) {
    if (RunsScript(address)) {
        out += kHarmlessLinkTarget;
        return;
    }
    AppendEscaped(address, out);
}
