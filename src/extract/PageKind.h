#pragma once

#include <cstddef>
#include <string_view>

// What kind of page an engine answered with, judged from its bytes alone: an ordinary page
// (presumably of results), a challenge (a check for robots), a consent wall, or a shell that
// scripts fill in the browser. A check of an engine says so, because none of the last three
// can be mended by changing the grammar.
class PageKind {
  public:
    enum class Kind {
        Results,
        Challenge,
        Consent,
        ScriptShell,
    };

    // Only this much of a page is judged; the markers stand near the top of such pages, and a
    // page of results must not cost a scan of every byte.
    static constexpr std::size_t kScanLimit = 1024 * 1024;
    // No challenge marker is longer than this, so a scan in pieces that keeps this many bytes
    // of the previous piece finds a marker split between two.
    static constexpr std::size_t kMarkerLengthLimit = 32;

    // A page with few links is judged by all its text; a page with many (a page of content,
    // which may quote any marker in a result) only by its titles and forms.
    static Kind Classify(std::string_view page);
    // Whether text holds one of the challenge markers (in any letter case). The marker table is
    // the one Classify uses, so a search and a check of an engine agree on what a challenge is.
    static bool HasChallengeMarker(std::string_view text);
    // One plain sentence for a page that is not ordinary; empty for Results.
    static const char* Describe(Kind kind);
};
