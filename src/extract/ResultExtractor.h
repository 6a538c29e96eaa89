#pragma once

#include "model/ResultList.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The streaming interpreter of an engine's extraction grammar. It walks an answer page byte by
// byte while the page arrives, finds the grammar's literals one after the other, captures what
// lies between them into the title, address and summary of a result, and appends each finished
// result to a result list. All state survives from one piece of the page to the next, so a
// page fed in pieces of any size yields exactly what it yields fed at once.
class ResultExtractor {
  public:
    // Capture limits: a field that has collected this many bytes starts over.
    static constexpr std::size_t kAddressCaptureLimit = 900;
    static constexpr std::size_t kTitleCaptureLimit = 400;
    static constexpr std::size_t kSummaryCaptureLimit = 2200;
    static constexpr std::size_t kEngineNameMaxLength = 20;
    static constexpr std::size_t kSiteRootMaxLength = 299;

    ResultExtractor();
    virtual ~ResultExtractor();

    // Splits the grammar into its literal pattern and its directive words. Call once, before
    // any input.
    void SetGrammar(std::string_view grammar);
    void SetEngineName(std::string_view name);
    // The prefix that makes relative addresses absolute.
    void SetSiteRoot(std::string_view root);
    // Turns known redirect addresses of search engines into their targets (off by default).
    void SetUnwrapAddresses(bool unwrap);
    // Queues received bytes; the piece counts up to its first zero byte only.
    void AppendInput(const char* data, std::size_t size);
    // Runs every queued byte through the grammar, appending finished results to list.
    void Feed(ResultList& list);
    // Finished results are dropped from now on; bytes are still consumed.
    void StopAccepting();

    // The site root of a request address: the address cut before the first "/" found from its
    // eighth character on (so the "//" after the scheme is passed over); empty without one.
    static std::string SiteRootFromUrl(std::string_view url);

    // The pattern and the directive words as they now stand, for tests and diagnostics.
    std::string pattern() const;
    std::string directives() const;

  private:
    // What the directive in force does with the bytes that follow it.
    enum class Directive {
        Url,  // capture into the address
        Name, // capture into the title
        Memo, // capture into the summary
        End,  // the result ends at the first byte that does not continue the next literal
        None  // an unknown word: skip to the next literal
    };

    // A text that is rotated again and again (moving its front to its end). It is kept twice
    // in a row with a start offset, so a rotation is an addition and costs no copying.
    struct Ring {
        std::string doubled;
        std::size_t length = 0;
        std::size_t start = 0;

        void assign(const std::string& text);
        void rotate(std::size_t count);
        std::string_view view() const;
    };

    void ReachDirective(char b);
    void MismatchWhileCapturing(char b);
    // Captures a run of bytes none of which continues the closing literal.
    void CaptureRun(const char* bytes, std::size_t count);
    void FinishResult(ResultList& list);
    // Makes the trimmed address absolute: "//host/path" takes the site root's scheme, "/path"
    // and a bare name are put after the site root, an address with a scheme stays.
    void ResolveAddress();
    std::string* CaptureBuffer();
    std::size_t CaptureLimit() const;
    static Directive DirectiveFromWord(std::string_view word);

    Ring m_pattern;
    Ring m_directives;
    int32_t m_position = 0;
    bool m_capturing = false;
    Directive m_current = Directive::None;
    std::string m_pending;
    std::string m_address;
    std::string m_title;
    std::string m_summary;
    std::string m_engineName;
    std::string m_siteRoot;
    bool m_accepting = true;
    bool m_unwrapAddresses = false;
    std::string m_input;
};
