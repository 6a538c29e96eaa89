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
const std::array<Replacement, 10> kEntities = {{
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
}};

bool isBlank(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

} // namespace

void TextCleaner::CleanText(std::string& text) {
    RemoveTags(text);
    if (text.find('&') != std::string::npos) {
        for (const Replacement& rule : kEntities) {
            ReplaceAll(text, rule.find, rule.replace);
        }
    }
    FlattenWhiteSpace(text);
}

void TextCleaner::RemoveTags(std::string& text) {
    std::size_t tag = text.find('<');
    if (tag == std::string::npos) {
        return;
    }
    std::size_t out = tag;
    std::size_t in = tag;
    while (in < text.size()) {
        // Inside a tag: a "<" is kept, everything else goes, up to the tag's ">".
        ++in;
        while (in < text.size() && text[in] != '>') {
            if (text[in] == '<') {
                text[out++] = '<';
            }
            ++in;
        }
        if (in == text.size()) {
            break;
        }
        ++in;
        // Outside a tag: copy up to the next "<" as one block.
        tag = text.find('<', in);
        const std::size_t end = tag == std::string::npos ? text.size() : tag;
        std::memmove(&text[out], &text[in], end - in);
        out += end - in;
        in = end;
    }
    text.resize(out);
}

void TextCleaner::FlattenWhiteSpace(std::string& text) {
    // Line feeds, carriage returns and tabs become spaces, and every run of blanks (the spaces
    // that entities gave included) becomes one space, so words on indented or broken lines stay
    // apart. The ends keep their one blank; whoever needs them gone trims.
    const std::size_t size = text.size();
    std::size_t out = 0;
    std::size_t in = 0;
    while (in < size) {
        const std::size_t start = in;
        while (in < size && !isBlank(text[in])) {
            ++in;
        }
        if (out != start) {
            std::memmove(&text[out], &text[start], in - start);
        }
        out += in - start;
        if (in < size) {
            text[out++] = ' ';
        }
        while (in < size && isBlank(text[in])) {
            ++in;
        }
    }
    text.resize(out);
}

void TextCleaner::ReplaceAll(std::string& text, const std::string& find,
                             const std::string& replace) {
    std::size_t hit = text.find(find);
    if (hit == std::string::npos) {
        return;
    }
    // In place: the replacement is never longer than what it replaces, so the write position
    // never overtakes the read position. Text between occurrences moves as whole blocks.
    std::size_t out = hit;
    std::size_t in = hit;
    while (hit != std::string::npos) {
        std::memmove(&text[out], &text[in], hit - in);
        out += hit - in;
        std::memcpy(&text[out], replace.data(), replace.size());
        out += replace.size();
        in = hit + find.size();
        hit = text.find(find, in);
    }
    std::memmove(&text[out], &text[in], text.size() - in);
    out += text.size() - in;
    text.resize(out);
}
