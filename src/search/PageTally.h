#pragma once

#include <cstddef>
#include <string>

// What a search worker observes of the page it receives, piece by piece, on its own thread:
// the bytes, the status line and whether the page looks like a challenge (a captcha or "unusual
// traffic" form) rather than results. The user-interface thread reads it while the worker waits
// for a piece to be parsed, or after the worker has ended.
class PageTally {
  public:
    // Only the start of a page is searched for challenge markers: a challenge page is short,
    // and a page of results must not cost a scan of every byte.
    static constexpr std::size_t kChallengeScanLimit = 64 * 1024;
    // The longest status line kept.
    static constexpr std::size_t kStatusLineLimit = 255;

    void Reset();
    void Take(const char* piece, std::size_t size);

    std::size_t Bytes() const;
    // The first line of the answer, without its line end; empty before it has ended.
    const std::string& StatusLine() const;
    // The status code of the status line; 0 when there is none.
    int StatusCode() const;
    bool ChallengeSeen() const;

  private:
    void ScanForChallenge(const char* piece, std::size_t size);

    std::size_t m_bytes = 0;
    std::string m_head;
    std::string m_statusLine;
    bool m_statusLineEnded = false;
    bool m_challengeSeen = false;
    // The end of the previous piece, so a marker split between two pieces is found.
    std::string m_tail;
};
