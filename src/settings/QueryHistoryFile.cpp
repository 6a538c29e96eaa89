#include "settings/QueryHistoryFile.h"

#include "model/Utf8Cut.h"
#include "platform/AtomicFile.h"

#include <cerrno>
#include <fstream>

#include <sys/stat.h>

namespace {

// Put between the program folder and the file name, always.
constexpr std::string_view kFolderSeparator = "/";
// Every write permission bit; a file with none of them is read-only.
constexpr mode_t kAnyWritePermission = 0222;

// The keyword as a record stores it: up to its first zero byte and at most the record's
// keyword length, without half a character at the end.
std::string_view StoredForm(std::string_view keyword) {
    const std::size_t zero = keyword.find('\0');
    if (zero != std::string_view::npos) {
        keyword = keyword.substr(0, zero);
    }
    return Utf8Cut::Prefix(keyword, QueryHistoryFile::kMaxKeywordLength);
}

} // namespace

QueryHistoryFile::QueryHistoryFile(std::string programFolder) : m_path(std::move(programFolder)) {
    // Always one separator more, even after a folder that ends in one: "dir//Query.His" names
    // the same file.
    m_path += kFolderSeparator;
    m_path += kFileName;
    Load();
}

QueryHistoryFile::~QueryHistoryFile() {
    Save();
}

const std::string& QueryHistoryFile::Path() const {
    return m_path;
}

int32_t QueryHistoryFile::Count() const {
    return m_count;
}

void QueryHistoryFile::Load() {
    if (m_records) {
        return;
    }
    std::ifstream in(m_path, std::ios::binary);
    if (!in) {
        // Anything at the name that cannot be opened (no permission, a read error) is kept
        // whole; only a missing file starts an empty history that may be written.
        struct stat status {};
        m_unreadable = ::stat(m_path.c_str(), &status) == 0 || errno != ENOENT;
        return;
    }
    m_unreadable = false;
    m_records = std::make_unique<Records>();
    int32_t read = 0;
    std::array<char, kRecordSize> bytes{};
    while (read < kCapacity) {
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        // An incomplete record at the end is not a keyword.
        if (in.gcount() != static_cast<std::streamsize>(bytes.size())) {
            break;
        }
        (*m_records)[static_cast<std::size_t>(read)].set(
            std::string_view(bytes.data(), bytes.size()));
        ++read;
    }
    // A read error (or a folder at the name) is not the end of the file.
    if (in.bad()) {
        m_unreadable = true;
    }
    m_loadedCount = read;
    m_count = read;
    m_cursor = 0;
}

bool QueryHistoryFile::Find(std::string_view keyword) {
    const std::string_view stored = StoredForm(keyword);
    if (m_count == 0) {
        // An empty history takes the keyword at once; Add then finds it and stops.
        if (!m_records) {
            m_records = std::make_unique<Records>();
        }
        (*m_records)[0].set(stored);
        m_count = 1;
        return true;
    }
    for (int32_t i = 0; i < m_count; ++i) {
        if ((*m_records)[static_cast<std::size_t>(i)] == stored) {
            return true;
        }
    }
    return false;
}

void QueryHistoryFile::Add(std::string_view keyword) {
    if (Find(keyword)) {
        return;
    }
    const Record record(StoredForm(keyword));
    if (m_count >= kCapacity) {
        Records& records = *m_records;
        for (std::size_t i = 1; i < records.size(); ++i) {
            records[i - 1] = records[i];
        }
        records[records.size() - 1] = record;
        return;
    }
    (*m_records)[static_cast<std::size_t>(m_count)] = record;
    ++m_count;
}

int32_t QueryHistoryFile::GetNext(std::string& out) {
    out.clear();
    if (m_cursor != m_loadedCount && m_records) {
        out = (*m_records)[static_cast<std::size_t>(m_cursor)].str();
        ++m_cursor;
        return m_cursor;
    }
    // The end: start over from what the file holds now.
    m_cursor = 0;
    Release();
    Load();
    return 0;
}

void QueryHistoryFile::Clear() {
    if (IsReadOnly()) {
        return;
    }
    Release();
    // With no records held, the save on destruction leaves the empty file alone.
    AtomicFile::Write(m_path, {});
}

bool QueryHistoryFile::IsReadOnly() const {
    struct stat status {};
    if (::stat(m_path.c_str(), &status) != 0) {
        return false;
    }
    // The mode bits, not access(): the super-user may write anything, but a file marked
    // read-only stays read-only for this program too.
    return (status.st_mode & kAnyWritePermission) == 0;
}

void QueryHistoryFile::Release() {
    m_records.reset();
    m_count = 0;
    m_loadedCount = 0;
    m_cursor = 0;
}

void QueryHistoryFile::Save() {
    // A file that could not be read is not rewritten from the records that could.
    if (IsReadOnly() || m_unreadable) {
        return;
    }
    if (!m_records) {
        return;
    }
    std::string content;
    content.reserve(static_cast<std::size_t>(m_count) * kRecordSize);
    for (int32_t i = 0; i < m_count; ++i) {
        content.append((*m_records)[static_cast<std::size_t>(i)].slot(), kRecordSize);
    }
    // A failed write is silent: the old file stays as it was.
    AtomicFile::Write(m_path, content);
}
