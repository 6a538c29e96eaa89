#include "cli/EnginePageProbe.h"

#include "extract/PageKind.h"

#include <chrono>

namespace {

// Enough of the answer's start to hold any sane status line.
constexpr std::size_t kStatusLineLimit = 512;
constexpr std::string_view kHeadEnd = "\r\n\r\n";
constexpr std::string_view kBareHeadEnd = "\n\n";

} // namespace

EnginePageProbe::EnginePageProbe(const SearchJob& job, int receiveTimeoutMs, int sendTimeoutMs) {
    m_extractor.SetGrammar(job.grammar.view());
    m_extractor.SetEngineName(job.engineName.view());
    m_extractor.SetSiteRoot(ResultExtractor::SiteRootFromUrl(job.url.view()));
    m_extractor.SetUnwrapAddresses(true);
    SetMethod(job.method);
    SetUrl(job.url.view());
    SetBody(job.body.view());
    SetProxy(job.proxyHost.view(), job.proxyPort.view(), job.useProxy);
    SetReceiveTimeout(receiveTimeoutMs);
    SetSendTimeout(sendTimeoutMs);
}

bool EnginePageProbe::Fetch() {
    const auto start = std::chrono::steady_clock::now();
    Execute();
    m_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::size_t lineEnd = m_head.find_first_of("\r\n");
    m_statusLine = m_head.substr(0, lineEnd);
    return m_failure.empty();
}

void EnginePageProbe::ParseSaved(std::string_view page) {
    m_saved = true;
    OnData(page.data(), page.size());
}

void EnginePageProbe::OnData(const char* piece, std::size_t size) {
    m_bytes += size;
    if (m_kept.size() < PageKind::kScanLimit) {
        m_kept.append(piece, std::min(size, PageKind::kScanLimit - m_kept.size()));
    }
    if (m_head.size() < kStatusLineLimit) {
        m_head.append(piece, std::min(size, kStatusLineLimit - m_head.size()));
    }
    m_extractor.AppendInput(piece, size);
    m_extractor.Feed(m_results);
}

void EnginePageProbe::OnError() {
    // An empty answer is reported and the exchange goes on; only real failures end it.
    if (ErrorCode() != kCodeRecieveNull) {
        m_failure = ErrorText();
    }
    HttpClient::OnError();
}

const ResultList& EnginePageProbe::Results() const {
    return m_results;
}

const std::string& EnginePageProbe::StatusLine() const {
    return m_statusLine;
}

std::size_t EnginePageProbe::Bytes() const {
    return m_bytes;
}

double EnginePageProbe::Seconds() const {
    return m_seconds;
}

const std::string& EnginePageProbe::FailureText() const {
    return m_failure;
}

std::string_view EnginePageProbe::Page() const {
    std::string_view page = m_kept;
    if (m_saved) {
        return page;
    }
    std::size_t end = page.find(kHeadEnd);
    if (end != std::string_view::npos) {
        return page.substr(end + kHeadEnd.size());
    }
    end = page.find(kBareHeadEnd);
    return end == std::string_view::npos ? page : page.substr(end + kBareHeadEnd.size());
}
