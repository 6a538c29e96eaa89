// The status-line classification of link validation on arbitrary answers.
#include "results/LinkState.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    const LinkState state = ClassifyLinkResponse(answer);
    if (state != LinkState::Valid && state != LinkState::Invalid && state != LinkState::Unknown) {
        std::abort();
    }
    if (state == LinkState::Unknown) {
        return 0;
    }
    // A known state needs a status line whose code starts one of the two classes.
    const std::size_t space = answer.find(' ');
    const bool statusLine =
        answer.substr(0, 5) == "HTTP/" && space < 10 && space + 1 < answer.size();
    const char first = statusLine ? answer[space + 1] : '\0';
    if (!statusLine || (state == LinkState::Valid && first != '2') ||
        (state == LinkState::Invalid && first != '4')) {
        std::abort();
    }
    return 0;
}
