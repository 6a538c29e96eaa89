#include "platform/ProfileFile.h"

#include "platform/AtomicFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The line end of every line the writer adds.
constexpr std::string_view kNewLineEnd = "\r\n";
// Every write permission bit; a file with none of them is read-only.
constexpr mode_t kAnyWritePermission = 0222;
// The radix of the integers in a profile file.
constexpr std::uint32_t kDecimalBase = 10;
// The bytes read at a time when loading the file.
constexpr std::size_t kReadChunkSize = 4096;

enum class LineKind {
    Blank,   // nothing but white space
    Comment, // first visible character ';'
    Section, // "[Name]"
    Entry,   // "key=value"
    Other,   // anything else; ignored when reading
};

struct IniLine {
    std::size_t begin = 0;   // first byte of the line
    std::size_t textEnd = 0; // first byte of the line end (or of the next line when none)
    std::size_t end = 0;     // first byte after the line end
    LineKind kind = LineKind::Other;
    std::string_view name;      // section name or entry key, trimmed
    std::size_t valueBegin = 0; // entries: first byte of the value after leading white space
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view TrimLeft(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && IsSpace(text[first])) {
        ++first;
    }
    return text.substr(first);
}

std::string_view TrimRight(std::string_view text) {
    std::size_t length = text.size();
    while (length > 0 && IsSpace(text[length - 1])) {
        --length;
    }
    return text.substr(0, length);
}

std::string_view Trim(std::string_view text) {
    return TrimRight(TrimLeft(text));
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    return std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

void ClassifyLine(std::string_view content, IniLine& line) {
    const std::string_view raw = content.substr(line.begin, line.textEnd - line.begin);
    const std::string_view text = Trim(raw);
    if (text.empty()) {
        line.kind = LineKind::Blank;
        return;
    }
    if (text.front() == ';') {
        line.kind = LineKind::Comment;
        return;
    }
    if (text.front() == '[') {
        const std::string_view inside = text.substr(1);
        line.kind = LineKind::Section;
        line.name = Trim(inside.substr(0, inside.find(']')));
        return;
    }
    const std::size_t equals = raw.find('=');
    if (equals == std::string_view::npos) {
        line.kind = LineKind::Other;
        return;
    }
    line.kind = LineKind::Entry;
    line.name = Trim(raw.substr(0, equals));
    const std::string_view afterEquals = raw.substr(equals + 1);
    line.valueBegin = line.textEnd - TrimLeft(afterEquals).size();
}

// Splits content into lines ending in LF (with or without a CR before it) or at the end of the
// content, and classifies each.
std::vector<IniLine> SplitLines(std::string_view content) {
    std::vector<IniLine> lines;
    std::size_t begin = 0;
    while (begin < content.size()) {
        IniLine line;
        line.begin = begin;
        const std::size_t lineFeed = content.find('\n', begin);
        if (lineFeed == std::string_view::npos) {
            line.textEnd = content.size();
            line.end = content.size();
        } else {
            line.textEnd = lineFeed;
            if (lineFeed > begin && content[lineFeed - 1] == '\r') {
                line.textEnd = lineFeed - 1;
            }
            line.end = lineFeed + 1;
        }
        ClassifyLine(content, line);
        lines.push_back(line);
        begin = line.end;
    }
    return lines;
}

constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

std::size_t FindSection(const std::vector<IniLine>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == LineKind::Section && EqualsIgnoringCase(lines[i].name, section)) {
            return i;
        }
    }
    return kNotFound;
}

// The index of the entry key in the section whose header is at sectionIndex, or kNotFound.
std::size_t FindEntry(const std::vector<IniLine>& lines, std::size_t sectionIndex,
                      std::string_view key) {
    for (std::size_t i = sectionIndex + 1; i < lines.size(); ++i) {
        if (lines[i].kind == LineKind::Section) {
            break;
        }
        if (lines[i].kind == LineKind::Entry && EqualsIgnoringCase(lines[i].name, key)) {
            return i;
        }
    }
    return kNotFound;
}

// The last line of the section at sectionIndex that is not blank (its header at least).
std::size_t LastNonBlankLine(const std::vector<IniLine>& lines, std::size_t sectionIndex) {
    std::size_t last = sectionIndex;
    for (std::size_t i = sectionIndex + 1; i < lines.size(); ++i) {
        if (lines[i].kind == LineKind::Section) {
            break;
        }
        if (lines[i].kind != LineKind::Blank) {
            last = i;
        }
    }
    return last;
}

// The value of an entry line: trimmed, and without one pair of enclosing quotes.
std::string_view EntryValue(std::string_view content, const IniLine& line) {
    std::string_view value =
        TrimRight(content.substr(line.valueBegin, line.textEnd - line.valueBegin));
    const bool quoted = value.size() >= 2 && value.front() == value.back() &&
                        (value.front() == '"' || value.front() == '\'');
    if (quoted) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// What reading the whole file found.
enum class Loaded {
    Read,       // the file's contents
    Missing,    // no file at the path (or no folder on the way to it)
    Unreadable, // something is there but it cannot be read: a read error, a folder
};

// The whole file into content (empty unless Read).
Loaded LoadFile(const std::string& path, std::string& content) {
    content.clear();
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return errno == ENOENT || errno == ENOTDIR ? Loaded::Missing : Loaded::Unreadable;
    }
    std::array<char, kReadChunkSize> buffer{};
    Loaded result = Loaded::Read;
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            result = Loaded::Unreadable;
            content.clear();
            break;
        }
        if (count == 0) {
            break;
        }
        content.append(buffer.data(), static_cast<std::size_t>(count));
    }
    ::close(descriptor);
    return result;
}

// Text to put before a new line appended at the end of content, so that it starts a line.
std::string_view SeparatorBeforeAppend(std::string_view content) {
    if (content.empty() || content.back() == '\n') {
        return {};
    }
    return kNewLineEnd;
}

bool HasLineEnd(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool IsStorableSectionName(std::string_view section) {
    return !section.empty() && !HasLineEnd(section) && section.find(']') == std::string_view::npos;
}

bool IsStorableKey(std::string_view key) {
    if (key.empty() || HasLineEnd(key) || key.find('=') != std::string_view::npos) {
        return false;
    }
    return key.front() != '[' && key.front() != ';';
}

// The file a write must replace: the target of a symbolic link rather than the link itself.
std::string ResolveWriteTarget(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) {
        return path;
    }
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    if (error) {
        return path;
    }
    return target.string();
}

} // namespace

ProfileFile::ProfileFile(std::string path) : m_path(std::move(path)) {
}

ProfileFile::~ProfileFile() = default;

const std::string& ProfileFile::Path() const {
    return m_path;
}

std::optional<std::string> ProfileFile::ReadValue(std::string_view section,
                                                  std::string_view key) const {
    std::string content;
    if (LoadFile(m_path, content) != Loaded::Read) {
        return std::nullopt;
    }
    const std::vector<IniLine> lines = SplitLines(content);
    const std::size_t sectionIndex = FindSection(lines, Trim(section));
    if (sectionIndex == kNotFound) {
        return std::nullopt;
    }
    const std::size_t entryIndex = FindEntry(lines, sectionIndex, Trim(key));
    if (entryIndex == kNotFound) {
        return std::nullopt;
    }
    return std::string(EntryValue(content, lines[entryIndex]));
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t bufferSize) const {
    if (bufferSize == 0) {
        return {};
    }
    const std::size_t maxLength = bufferSize - 1;
    const std::optional<std::string> value = ReadValue(section, key);
    if (!value) {
        return std::string(defaultValue.substr(0, maxLength));
    }
    return value->substr(0, maxLength);
}

int ProfileFile::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
    const std::optional<std::string> value = ReadValue(section, key);
    if (!value) {
        return defaultValue;
    }
    return ParseInteger(*value);
}

bool ProfileFile::HasSection(std::string_view section) const {
    std::string content;
    if (LoadFile(m_path, content) != Loaded::Read) {
        return false;
    }
    return FindSection(SplitLines(content), Trim(section)) != kNotFound;
}

bool ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    if (!IsStorableSectionName(section) || !IsStorableKey(key) || HasLineEnd(value)) {
        return false;
    }
    std::string content;
    const Loaded loaded = LoadFile(m_path, content);
    // A file that is there but cannot be read must not be rewritten from nothing.
    if (loaded == Loaded::Unreadable) {
        return false;
    }
    const bool fileExisted = loaded == Loaded::Read;
    const std::vector<IniLine> lines = SplitLines(content);
    const std::string entryText = std::string(key) + "=" + std::string(value);

    std::string updated;
    const std::size_t sectionIndex = FindSection(lines, section);
    if (sectionIndex == kNotFound) {
        updated = content;
        updated += SeparatorBeforeAppend(content);
        updated += "[" + std::string(section) + "]";
        updated += kNewLineEnd;
        updated += entryText;
        updated += kNewLineEnd;
        return ReplaceContent(content, updated, fileExisted);
    }
    const std::size_t entryIndex = FindEntry(lines, sectionIndex, key);
    if (entryIndex != kNotFound) {
        const IniLine& entry = lines[entryIndex];
        updated = content.substr(0, entry.valueBegin);
        updated += value;
        updated += content.substr(entry.textEnd);
        return ReplaceContent(content, updated, fileExisted);
    }
    const IniLine& last = lines[LastNonBlankLine(lines, sectionIndex)];
    updated = content.substr(0, last.end);
    if (last.end == last.textEnd) {
        updated += kNewLineEnd;
    }
    updated += entryText;
    updated += kNewLineEnd;
    updated += content.substr(last.end);
    return ReplaceContent(content, updated, fileExisted);
}

bool ProfileFile::AddSection(std::string_view section) {
    section = Trim(section);
    if (!IsStorableSectionName(section)) {
        return false;
    }
    std::string content;
    const Loaded loaded = LoadFile(m_path, content);
    if (loaded == Loaded::Unreadable) {
        return false;
    }
    const bool fileExisted = loaded == Loaded::Read;
    if (FindSection(SplitLines(content), section) != kNotFound) {
        return true;
    }
    std::string updated = content;
    updated += SeparatorBeforeAppend(content);
    updated += "[" + std::string(section) + "]";
    updated += kNewLineEnd;
    return ReplaceContent(content, updated, fileExisted);
}

int ProfileFile::ParseInteger(std::string_view text) {
    text = TrimLeft(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) {
        text.remove_prefix(1);
    }
    // Unsigned arithmetic wraps around on overflow, as the platform's conversion does.
    std::uint32_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        magnitude = magnitude * kDecimalBase + static_cast<std::uint32_t>(c - '0');
    }
    if (negative) {
        magnitude = 0U - magnitude;
    }
    return static_cast<std::int32_t>(magnitude);
}

bool ProfileFile::WriteTemporary(int descriptor, std::string_view content) {
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t result =
            ::write(descriptor, content.data() + written, content.size() - written);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(result);
    }
    return true;
}

bool ProfileFile::ReplaceContent(const std::string& oldContent, const std::string& newContent,
                                 bool fileExisted) {
    if (fileExisted) {
        const std::string target = ResolveWriteTarget(m_path);
        struct stat status {};
        if (::stat(target.c_str(), &status) != 0) {
            return false;
        }
        // The mode bits are checked as well as access(): the super-user may write anything, but
        // a file marked read-only stays read-only for this program too.
        const bool readOnly = (status.st_mode & kAnyWritePermission) == 0;
        if (readOnly || ::access(target.c_str(), W_OK) != 0) {
            return false;
        }
        if (oldContent == newContent) {
            return true;
        }
    }
    AtomicFile file(m_path);
    const bool staged = file.Stage(newContent, [this](int descriptor, std::string_view bytes) {
        return WriteTemporary(descriptor, bytes);
    });
    return staged && file.Commit();
}
