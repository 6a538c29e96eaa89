#include "search/TextReplace.h"

void TextReplace::ReplaceAll(std::string& text, std::string_view find, std::string_view replace) {
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    std::size_t hit = text.find(find);
    while (hit != std::string::npos) {
        result.append(text, from, hit - from);
        result.append(replace);
        from = hit + find.size();
        hit = text.find(find, from);
    }
    result.append(text, from, std::string::npos);
    text = std::move(result);
}
