#include "search/HttpOutcome.h"

HttpOutcome::HttpOutcome(Kind kind, int code, int detail, std::string_view text)
    : m_kind(kind), m_code(code), m_detail(detail), m_text(text) {
}

HttpOutcome HttpOutcome::Done() {
    return HttpOutcome(Kind::Done, 0, kNoDetail, {});
}

HttpOutcome HttpOutcome::Stopped() {
    return HttpOutcome(Kind::Stopped, 0, kNoDetail, {});
}

HttpOutcome HttpOutcome::Failed(int code, int detail, std::string_view text) {
    return HttpOutcome(Kind::Failed, code, detail, text);
}

bool HttpOutcome::IsDone() const {
    return m_kind == Kind::Done;
}

bool HttpOutcome::IsStopped() const {
    return m_kind == Kind::Stopped;
}

bool HttpOutcome::IsFailed() const {
    return m_kind == Kind::Failed;
}

int HttpOutcome::Code() const {
    return m_code;
}

int HttpOutcome::Detail() const {
    return m_detail;
}

std::string_view HttpOutcome::Text() const {
    return m_text;
}
