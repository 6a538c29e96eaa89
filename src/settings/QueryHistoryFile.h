#pragma once

#include "model/FixedText.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The keywords of the last ten searches, in the file "Query.His" of the program folder: records
// of 255 bytes, each a keyword padded with zero bytes, oldest first, nothing else. An instance
// lives for one operation (fill the keyword list, add a keyword, clear) and writes the file
// back when it goes.
class QueryHistoryFile {
  public:
    static constexpr std::string_view kFileName = "Query.His";
    // The width of one record; a keyword is at most one byte shorter.
    static constexpr std::size_t kRecordSize = 255;
    static constexpr std::size_t kMaxKeywordLength = kRecordSize - 1;
    // The most keywords the history keeps; the oldest gives way to a new one.
    static constexpr int32_t kCapacity = 10;

    // The history of programFolder; "/" and the file name are always appended, also after a
    // folder that already ends in "/".
    explicit QueryHistoryFile(std::string programFolder);
    // Saves the history, unless the file is read-only, no records are held, or the file is
    // there but the last load could not read it (it is then kept as it is).
    ~QueryHistoryFile();
    QueryHistoryFile(const QueryHistoryFile&) = delete;
    QueryHistoryFile& operator=(const QueryHistoryFile&) = delete;

    const std::string& Path() const;
    // Keywords held now.
    int32_t Count() const;

    // Reads the file when it exists and no records are held yet; otherwise nothing. Whole
    // records up to the tenth are read; the rest of the file is ignored.
    void Load();
    // True when keyword is held (exact, case-sensitive). An empty history takes keyword as its
    // only entry and answers true. A keyword longer than a record holds is compared as cut to
    // kMaxKeywordLength, the way it is stored.
    bool Find(std::string_view keyword);
    // Records a searched keyword at the end, dropping the oldest when ten are held. A keyword
    // already held keeps its place.
    void Add(std::string_view keyword);
    // The keywords read by the last load, oldest first: puts the next one into out and returns
    // the new position (never 0). At the end out is empty, the history is read again from the
    // file and the result is 0.
    int32_t GetNext(std::string& out);
    // Empties the history and truncates the file to zero bytes, creating it when absent;
    // nothing when the file is read-only.
    void Clear();

  private:
    using Record = FixedText<kRecordSize>;
    using Records = std::array<Record, kCapacity>;

    // True when the file exists and nobody may write it.
    bool IsReadOnly() const;
    // Frees the records; the history is then empty.
    void Release();
    // Writes the held records to the file; see the destructor.
    void Save();

    std::string m_path;
    // The records, oldest first; none until loaded or first stored.
    std::unique_ptr<Records> m_records;
    int32_t m_count = 0;
    // Records read by the last load: where the iteration ends.
    int32_t m_loadedCount = 0;
    // The record the iteration returns next.
    int32_t m_cursor = 0;
    // The last load found a file (or a folder) at the path that it could not read.
    bool m_unreadable = false;
};
