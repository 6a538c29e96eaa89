#pragma once

#include "results/ResultRows.h"

#include <cstdint>
#include <string>
#include <string_view>

class MessageSink;

// Find in Results and Find Next: a text searched in the titles, addresses and summaries of the
// rows in their displayed order. The finder keeps the find state of the main window: the text,
// the flags and the display position of the last match.
class ResultFinder {
  public:
    // Flag bits: which fields to search, and whether letter case must match.
    static constexpr uint32_t kSearchTitles = 1;
    static constexpr uint32_t kSearchAddresses = 16;
    static constexpr uint32_t kSearchSummaries = 256;
    static constexpr uint32_t kMatchCase = 4096;
    // The flags the Find dialog starts with: summaries only.
    static constexpr uint32_t kInitialFlags = kSearchSummaries;
    // The longest text the dialog hands on.
    static constexpr std::size_t kMaxTextLength = 255;
    // The stored position when there is no match.
    static constexpr int32_t kNoMatch = -1;
    static constexpr std::string_view kEmptyTextMessage = "Please input find string";
    static constexpr std::string_view kNoMoreMatchesMessage = "Complete searching for key words";

    explicit ResultFinder(MessageSink& messages);

    // The Find button: stores text (cut to kMaxTextLength without splitting a character) and flags,
    // searches from the first displayed row and stores the result. Shows kNoMoreMatchesMessage when
    // nothing matched.
    int32_t Find(ResultRows& rows, std::string_view text, uint32_t flags);
    // Find Next: searches from the row after the last match; after a failed search that is the
    // first row again.
    int32_t FindNext(ResultRows& rows);
    // Searches the displayed rows from position on; the first match is selected alone and its
    // display position returned, for the view to scroll to. kNoMatch when nothing matches;
    // shows kEmptyTextMessage (and matches nothing) when the text is empty.
    int32_t Search(ResultRows& rows, int32_t position) const;

    const std::string& Text() const;
    uint32_t Flags() const;
    int32_t Position() const;

  private:
    bool Matches(const SearchResult& result, std::string_view wanted) const;
    // Stores the outcome of a search and shows the message of a failed one.
    int32_t Store(int32_t position);

    MessageSink& m_messages;
    std::string m_text;
    uint32_t m_flags = kInitialFlags;
    int32_t m_position = kNoMatch;
};
