#include "results/ResultsFile.h"

#include "platform/AtomicFile.h"
#include "platform/TextMode.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>

namespace {

// The widths of the four fields of a record, in their order.
constexpr std::array<std::size_t, 4> kFieldWidths = {
    SearchResult::kTitleCapacity, SearchResult::kAddressCapacity, SearchResult::kSummaryCapacity,
    SearchResult::kEngineCapacity};
// The positions of the fields in kFieldWidths.
enum FieldIndex : std::size_t { kTitleField, kAddressField, kSummaryField, kEngineField };
constexpr char kLineFeed = '\n';
constexpr std::string_view kPathCauseSeparator = ": ";
constexpr std::string_view kCutNoteText =
    "the end of the file was cut; its last, incomplete record was left out";

constexpr char kCarriageReturn = '\r';
// Room reserved per record beyond its width for the carriage returns its line feeds gain, so
// that the bytes of thousands of records are rarely moved while they grow.
constexpr std::size_t kLineEndAllowance = 16;

// Appends a field as it is on disk: its text in text mode, then zero bytes up to its width.
// The slot holds only zero bytes after its text, so a field without a line feed is its slot
// as it is.
template <std::size_t Capacity>
void AppendField(const FixedText<Capacity>& field, std::string& out) {
    if (std::memchr(field.slot(), kLineFeed, Capacity) == nullptr) {
        out.append(field.slot(), Capacity);
        return;
    }
    const std::string_view text = field.view();
    TextMode::AppendToDisk(text, out);
    out.append(Capacity - text.size(), '\0');
}

// The next whole record at the front of rest, which is taken from rest: in place when its
// bytes hold no carriage return (nothing to translate), else translated into spare. False when
// rest holds no whole record; read is the number of record bytes found.
bool NextRecord(std::string_view& rest, std::array<char, ResultsFile::kRecordSize>& spare,
                const char*& record, std::size_t& read) {
    if (rest.size() >= spare.size() &&
        std::memchr(rest.data(), kCarriageReturn, spare.size()) == nullptr) {
        record = rest.data();
        rest.remove_prefix(spare.size());
        read = spare.size();
        return true;
    }
    record = spare.data();
    read = TextMode::ReadFromDisk(rest, spare.data(), spare.size());
    return read == spare.size();
}

// The text of a field: up to its terminating zero. False when the field has none.
bool FieldText(const char* field, std::size_t width, std::string_view& text) {
    const void* zero = std::memchr(field, '\0', width);
    if (zero == nullptr) {
        return false;
    }
    text =
        std::string_view(field, static_cast<std::size_t>(static_cast<const char*>(zero) - field));
    return true;
}

// Appends the result of one whole record to list; false when a field has no terminator.
bool AddRecord(const char* record, ResultList& list) {
    std::array<std::string_view, kFieldWidths.size()> fields;
    std::size_t offset = 0;
    for (std::size_t f = 0; f < kFieldWidths.size(); ++f) {
        if (!FieldText(record + offset, kFieldWidths[f], fields[f])) {
            return false;
        }
        offset += kFieldWidths[f];
    }
    list.Add(fields[kTitleField], fields[kAddressField], fields[kSummaryField],
             fields[kEngineField]);
    return true;
}

// The whole file into bytes, or why it cannot be read.
ResultsFile::Refusal LoadFile(const std::string& path, std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return ResultsFile::Refusal::NoSuchFile;
        }
        return errno == EACCES ? ResultsFile::Refusal::PermissionDenied
                               : ResultsFile::Refusal::ReadError;
    }
    struct stat status {};
    if (::fstat(::fileno(file), &status) != 0) {
        std::fclose(file);
        return ResultsFile::Refusal::ReadError;
    }
    if (S_ISDIR(status.st_mode)) {
        std::fclose(file);
        return ResultsFile::Refusal::Folder;
    }
    if (!S_ISREG(status.st_mode)) {
        // A device or a pipe is no results file, whatever it would give.
        std::fclose(file);
        return ResultsFile::Refusal::NotResultsFile;
    }
    bytes.resize(static_cast<std::size_t>(status.st_size));
    const std::size_t read = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    bytes.resize(read);
    return failed ? ResultsFile::Refusal::ReadError : ResultsFile::Refusal::None;
}

} // namespace

bool ResultsFile::WriteResultsFile(const ResultList& list, const std::string& path) {
    return AtomicFile::Write(path, Encode(list));
}

ResultsFile::ReadResult ResultsFile::ReadResultsFile(ResultList& list, const std::string& path) {
    return Open(list, path).result;
}

ResultsFile::Opened ResultsFile::Open(ResultList& list, const std::string& path) {
    Opened opened;
    std::string bytes;
    opened.refusal = LoadFile(path, bytes);
    if (opened.refusal == Refusal::NoSuchFile) {
        opened.result = ReadResult::Missing;
        return opened;
    }
    if (opened.refusal != Refusal::None) {
        opened.result = ReadResult::Unreadable;
        return opened;
    }
    opened.result = Decode(bytes, list, &opened.endCut);
    if (opened.result == ReadResult::Unreadable) {
        opened.refusal = Refusal::NotResultsFile;
    }
    return opened;
}

std::string ResultsFile::RefusalText(const std::string& path, Refusal refusal) {
    std::string text = path + std::string(kPathCauseSeparator);
    switch (refusal) {
    case Refusal::None:
        return {};
    case Refusal::NoSuchFile:
        return text + "no such file";
    case Refusal::Folder:
        return text + "is a folder";
    case Refusal::PermissionDenied:
        return text + "permission denied";
    case Refusal::NotResultsFile:
        return text + "not a results file";
    case Refusal::ReadError:
        return text + "cannot be read";
    }
    return {};
}

std::string ResultsFile::CutNote(const std::string& path) {
    return path + std::string(kPathCauseSeparator) + std::string(kCutNoteText);
}

std::string ResultsFile::Encode(const ResultList& list) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(list.Count()) * (kRecordSize + kLineEndAllowance));
    for (int32_t i = 0; i < list.Count(); ++i) {
        const SearchResult& result = *list.Get(i);
        AppendField(result.title, bytes);
        AppendField(result.address, bytes);
        AppendField(result.summary, bytes);
        AppendField(result.engine, bytes);
    }
    return bytes;
}

ResultsFile::ReadResult ResultsFile::Decode(std::string_view bytes, ResultList& list,
                                            bool* endCut) {
    std::string_view rest = TextMode::BeforeEndOfFile(bytes);
    // Every record is checked before any reaches list, so an unreadable file adds nothing.
    ResultList decoded;
    decoded.Reserve(static_cast<int32_t>(rest.size() / kRecordSize));
    std::array<char, kRecordSize> spare;
    const char* record = nullptr;
    std::size_t lastRead = 0;
    while (NextRecord(rest, spare, record, lastRead)) {
        if (!AddRecord(record, decoded)) {
            return ReadResult::Unreadable;
        }
    }
    // Bytes that hold no whole record (NUL bytes, a page, a byte 26 first) are no results file.
    if (!bytes.empty() && decoded.Count() == 0) {
        return ReadResult::Unreadable;
    }
    if (endCut != nullptr) {
        *endCut = lastRead > 0 && lastRead < kRecordSize;
    }
    if (list.Count() == 0) {
        list = std::move(decoded);
        return ReadResult::Read;
    }
    list.Reserve(list.Count() + decoded.Count());
    for (int32_t i = 0; i < decoded.Count(); ++i) {
        list.Add(*decoded.Get(i));
    }
    return ReadResult::Read;
}
