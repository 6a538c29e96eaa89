#include "cli/StderrMessageSink.h"

#include <cstdio>

void StderrMessageSink::showMessage(std::string_view caption, std::string_view text) {
    ++m_count;
    std::fwrite(caption.data(), 1, caption.size(), stderr);
    std::fputs(": ", stderr);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

int StderrMessageSink::Count() const {
    return m_count;
}
