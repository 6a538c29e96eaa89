#include "cli/TerminalText.h"

#include "model/Utf8Cut.h"

#include <cstdio>

namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kFirstNonAscii = 0x80;
// The lead byte of U+0080 to U+00BF; below U+00A0 stand the C1 controls.
constexpr unsigned char kC1Lead = 0xC2;
constexpr unsigned char kFirstC1Free = 0xA0;

void addEscaped(std::string& out, unsigned char byte) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
    out += escaped;
}

} // namespace

std::string TerminalText::Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c < kFirstNonAscii) {
            if (c < kFirstPrintable || c == kDelete) {
                addEscaped(out, c);
            } else if (c == '\\') {
                out += "\\\\";
            } else {
                out += static_cast<char>(c);
            }
            ++at;
            continue;
        }
        const std::size_t length = Utf8Cut::SequenceLength(text, at);
        const bool c1 =
            length == 2 && c == kC1Lead && static_cast<unsigned char>(text[at + 1]) < kFirstC1Free;
        if (length == 0 || c1) {
            addEscaped(out, c);
            ++at;
            continue;
        }
        out.append(text.substr(at, length));
        at += length;
    }
    return out;
}
