#pragma once

#include "model/ResultList.h"

#include <string>
#include <string_view>

// The results file (".vnr"): the results of a list in order, one record of 1221 bytes each
// (title 200, address 300, summary 700, engine 21; each field a zero-terminated text padded
// with zero bytes), nothing before, between or after them. The file goes through the Windows
// text-mode translation: every line feed of a record is written as CR LF, and reading turns
// CR LF back into a line feed and ends at the first byte 26. So files move between the Windows
// program and this one unchanged.
class ResultsFile {
  public:
    static constexpr std::size_t kRecordSize = SearchResult::kRecordSize;
    static_assert(kRecordSize == 1221, "the record of the results file");
    static constexpr std::string_view kExtension = "vnr";
    // The message box of a file that is not a results file.
    static constexpr std::string_view kUnreadableMessage =
        "Only file with the type of Vantorell 2001 can be read.";

    enum class ReadResult {
        Read,       // the records were appended (none for an empty file)
        Missing,    // no file at the path; nothing was appended
        Unreadable, // not a results file, or it could not be read; nothing was appended
    };

    // Why a file was not read, in the words every refusal uses (RefusalText).
    enum class Refusal {
        None,             // it was read
        NoSuchFile,       // nothing at the path
        Folder,           // the path names a folder
        PermissionDenied, // the file may not be read
        NotResultsFile,   // a field without its terminator, or no whole record in it
        ReadError,        // anything else the system refused
    };

    // What opening a file gave: the records appended to the list, or why there are none.
    struct Opened {
        ReadResult result = ReadResult::Read;
        Refusal refusal = Refusal::None;
        // The file ends in an incomplete record, which was left out.
        bool endCut = false;
    };

    // Replaces the file with the list's records; the old file stays whole when this fails.
    static bool WriteResultsFile(const ResultList& list, const std::string& path);
    // Appends every whole record of the file to list; an incomplete record at the end is
    // ignored. A field without its terminating zero makes the whole file unreadable.
    static ReadResult ReadResultsFile(ResultList& list, const std::string& path);
    // ReadResultsFile, telling why a file was refused and whether its end was cut.
    static Opened Open(ResultList& list, const std::string& path);
    // "PATH: CAUSE", the one line that names a refused file and why.
    static std::string RefusalText(const std::string& path, Refusal refusal);
    // The note on a file whose end was cut.
    static std::string CutNote(const std::string& path);

    // The bytes on disk for the list.
    static std::string Encode(const ResultList& list);
    // Appends the records of the bytes on disk to list, or nothing when they are unreadable:
    // a field without its terminator, or bytes that hold no whole record. endCut (when given)
    // tells whether an incomplete record followed the last whole one.
    static ReadResult Decode(std::string_view bytes, ResultList& list, bool* endCut = nullptr);
};
