#pragma once

#include "extract/ResultExtractor.h"
#include "model/ResultList.h"
#include "search/HttpClient.h"
#include "search/SearchJob.h"

#include <string>
#include <string_view>

// Fetches one result page of one engine on the calling thread and parses it while it arrives,
// as a search worker would, keeping what a check reports: the status line, the byte count, the
// time and the results.
class EnginePageProbe : public HttpClient {
  public:
    explicit EnginePageProbe(const SearchJob& job, int receiveTimeoutMs, int sendTimeoutMs);
    // Runs the exchange; false when it failed (FailureText() says how).
    bool Fetch();
    // Parses a saved answer page instead of fetching one; there is no status line then.
    void ParseSaved(std::string_view page);

    const ResultList& Results() const;
    const std::string& StatusLine() const;
    std::size_t Bytes() const;
    double Seconds() const;
    const std::string& FailureText() const;
    // The page without the answer's head, as far as it was kept (PageKind::kScanLimit bytes).
    std::string_view Page() const;

  protected:
    void OnData(const char* piece, std::size_t size) override;
    void OnError() override;

  private:
    ResultExtractor m_extractor;
    ResultList m_results;
    std::string m_head;
    std::string m_kept;
    bool m_saved = false;
    std::string m_statusLine;
    std::size_t m_bytes = 0;
    double m_seconds = 0;
    std::string m_failure;
};
