#include "extract/TextCleaner.h"

#include <array>
#include <cstring>

namespace {

struct Replacement {
    const char* find;
    const char* replace;
};

// Applied in this order, each over the whole text once. The middle dot becomes the two bytes
// of the GB2312 middle dot, as the pages of the time expected.
const std::array<Replacement, 14> kReplacements = {{
    {"&lt;", "<"},
    {"&nbsp;", " "},
    {"&gt;", ">"},
    {"&amp;", "&"},
    {"&middot;", "\xA1\xA4"},
    {"&quot;;", "\""},
    {"&#160;", ""},
    {"&#149;", "*"},
    {"&#39;", "'"},
    {"&quot;", "\""},
    {"\n", " "},
    {"\r", " "},
    {"\t", " "},
    {"    ", ""},
}};

} // namespace

void TextCleaner::CleanText(std::string& text) {
    RemoveTags(text);
    for (const Replacement& rule : kReplacements) {
        ReplaceAll(text, rule.find, rule.replace);
    }
}

void TextCleaner::RemoveTags(std::string& text) {
    bool insideTag = false;
    std::size_t out = 0;
    for (std::size_t in = 0; in < text.size(); ++in) {
        const char c = text[in];
        if (insideTag) {
            // A "<" inside a tag is kept; everything else of the tag goes, up to its ">".
            if (c == '<') {
                text[out++] = c;
            } else if (c == '>') {
                insideTag = false;
            }
        } else if (c == '<') {
            insideTag = true;
        } else {
            text[out++] = c;
        }
    }
    text.resize(out);
}

void TextCleaner::ReplaceAll(std::string& text, const std::string& find, const std::string& replace) {
    if (text.size() < find.size() || text.find(find) == std::string::npos) {
        return;
    }
    // In place: the replacement is never longer than what it replaces, so the write position
    // never overtakes the read position.
    std::size_t out = 0;
    std::size_t in = 0;
    while (in < text.size()) {
        if (text.compare(in, find.size(), find) == 0) {
            std::memcpy(&text[out], replace.data(), replace.size());
            out += replace.size();
            in += find.size();
        } else {
            text[out++] = text[in++];
        }
    }
    text.resize(out);
}
