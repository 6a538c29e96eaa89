#include "cli/CliSessionView.h"

#include "cli/ResultPrinter.h"

namespace {

void printLine(std::FILE* out, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), out);
    std::fputc('\n', out);
    std::fflush(out);
}

} // namespace

CliSessionView::CliSessionView(std::string keyword, std::string category, bool verbose,
                               std::function<void()> onIdle)
    : m_keyword(std::move(keyword)), m_category(std::move(category)), m_verbose(verbose),
      m_onIdle(std::move(onIdle)) {
}

std::string CliSessionView::Keyword() {
    return m_keyword;
}

std::string CliSessionView::Category() {
    return m_category;
}

void CliSessionView::SetStatusText(std::string_view text) {
    if (m_ended) {
        RunBeforeEnd();
    } else if (!m_verbose) {
        // Only the end text is worth a line of a quiet search.
        return;
    }
    printLine(stderr, text);
}

void CliSessionView::SetNoticeText(std::string_view engine, std::string_view text) {
    if (!m_verbose) {
        return;
    }
    std::string line(engine);
    line += ": ";
    line += text;
    printLine(stderr, line);
}

void CliSessionView::SetProgressRange(int, int) {
}

void CliSessionView::StepProgress() {
}

void CliSessionView::ResetProgress() {
}

void CliSessionView::SetSearchButtonState(int state) {
    if (state == kButtonIdle) {
        m_ended = true;
    }
    if (state == kButtonIdle && m_onIdle) {
        m_onIdle();
    }
}

void CliSessionView::ShowMessage(std::string_view caption, std::string_view text) {
    ++m_messages;
    std::string line(caption);
    line += ": ";
    line += text;
    printLine(stderr, line);
}

void CliSessionView::ClearResults() {
}

void CliSessionView::AddResultRow(int, const SearchResult& result) {
    if (!m_streaming) {
        return;
    }
    ResultList one;
    one.Add(result);
    ResultPrinter(stdout).PrintFrom(one, 0);
    std::fflush(stdout);
}

void CliSessionView::SetBeforeEnd(std::function<void()> beforeEnd) {
    m_beforeEnd = std::move(beforeEnd);
}

void CliSessionView::RunBeforeEnd() {
    if (m_beforeEnd) {
        const std::function<void()> beforeEnd = std::move(m_beforeEnd);
        m_beforeEnd = nullptr;
        beforeEnd();
    }
}

int CliSessionView::MessageCount() const {
    return m_messages;
}

void CliSessionView::SetStreaming(bool streaming) {
    m_streaming = streaming;
}

bool CliSessionView::IsStreaming() const {
    return m_streaming;
}
