#include "settings/EngineHealth.h"

#include "platform/AtomicFile.h"
#include "platform/FolderLock.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

constexpr char kFieldSeparator = '\t';
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kSearchWord = "search";
constexpr std::string_view kRestWord = "rest";
constexpr std::size_t kSearchFields = 7;
constexpr std::size_t kRestFields = 4;
// The first format had no category field.
constexpr std::size_t kFirstSearchFields = 6;
constexpr std::size_t kFirstRestFields = 3;
constexpr char kFolderSeparator = '/';
// A failure text longer than this is cut: it is a status line or a client message.
constexpr std::size_t kFailureLimit = 255;

constexpr std::array<std::pair<EngineHealth::Outcome, std::string_view>, 4> kOutcomeWords = {{
    {EngineHealth::Outcome::Ok, "ok"},
    {EngineHealth::Outcome::Nothing, "nothing"},
    {EngineHealth::Outcome::Failed, "failed"},
    {EngineHealth::Outcome::Blocked, "blocked"},
}};

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find(kFieldSeparator, start);
        if (tab == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

bool readNumber(std::string_view text, std::int64_t& value) {
    if (text.empty()) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// Tabs and line ends would break the line format; they cannot stand in a name or a failure.
std::string fieldText(std::string_view text, std::size_t limit) {
    std::string field(text.substr(0, limit));
    std::replace_if(
        field.begin(), field.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; },
        ' ');
    return field;
}

} // namespace

EngineHealth::EngineHealth(std::string programFolder)
    : m_folder(programFolder), m_path(std::move(programFolder)) {
    if (m_path.empty() || m_path.back() != kFolderSeparator) {
        m_path += kFolderSeparator;
    }
    m_path += kFileName;
}

const std::string& EngineHealth::Path() const {
    return m_path;
}

bool EngineHealth::Load() {
    m_searches.clear();
    m_restUntil.clear();
    m_ignored = 0;
    m_unreadable = false;
    std::error_code error;
    const bool exists = std::filesystem::exists(m_path, error);
    if (!exists && !error) {
        return true;
    }
    std::ifstream in;
    std::string bytes;
    // A folder at the file's name, or a read error, makes the stream throw.
    in.exceptions(std::ios::badbit);
    try {
        in.open(m_path, std::ios::binary);
        if (in) {
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    } catch (const std::ios::failure&) {
        m_unreadable = true;
        return false;
    }
    if (!in.is_open() || std::filesystem::is_directory(m_path, error)) {
        m_unreadable = true;
        return false;
    }
    std::size_t start = 0;
    bool first = true;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        std::string_view line(bytes.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const bool header = first && (line == kFormatLine || line == kFirstFormatLine);
        if (!header && !line.empty() && !ParseLine(line)) {
            ++m_ignored;
        }
        first = false;
        start = end + 1;
    }
    return true;
}

bool EngineHealth::ParseLine(std::string_view line) {
    std::vector<std::string_view> fields = splitFields(line);
    // A line of the first format names no category.
    const bool firstFormat = (fields.size() == kFirstRestFields && fields[0] == kRestWord) ||
                             (fields.size() == kFirstSearchFields && fields[0] == kSearchWord);
    if (firstFormat) {
        fields.insert(fields.begin() + 1, std::string_view());
    }
    if (fields.size() == kRestFields && fields[0] == kRestWord && !fields[2].empty()) {
        std::int64_t until = 0;
        if (!readNumber(fields[3], until)) {
            return false;
        }
        m_restUntil[KeyOf(fields[1], fields[2])] = until;
        return true;
    }
    if (fields.size() != kSearchFields || fields[0] != kSearchWord || fields[2].empty()) {
        return false;
    }
    Search search;
    if (!readNumber(fields[3], search.time) || !readNumber(fields[5], search.firstResultMs)) {
        return false;
    }
    const auto word = std::find_if(kOutcomeWords.begin(), kOutcomeWords.end(),
                                   [&](const auto& pair) { return pair.second == fields[4]; });
    if (word == kOutcomeWords.end()) {
        return false;
    }
    search.outcome = word->first;
    search.failure = std::string(fields[6]);
    std::vector<Search>& searches = m_searches[KeyOf(fields[1], fields[2])];
    searches.push_back(search);
    if (searches.size() > kSearchesKept) {
        searches.erase(searches.begin());
    }
    return true;
}

std::string EngineHealth::KeyOf(std::string_view category, std::string_view engine) {
    return fieldText(category, std::string::npos) + kFieldSeparator +
           fieldText(engine, std::string::npos);
}

int EngineHealth::IgnoredLines() const {
    return m_ignored;
}

void EngineHealth::Record(std::string_view category, std::string_view engine,
                          const Search& search) {
    const std::string name = KeyOf(category, engine);
    std::vector<Search>& searches = m_searches[name];
    Search kept = search;
    kept.failure = fieldText(search.failure, kFailureLimit);
    searches.push_back(kept);
    if (searches.size() > kSearchesKept) {
        searches.erase(searches.begin());
    }
    const auto blockedInARow = static_cast<int>(
        std::find_if(searches.rbegin(), searches.rend(),
                     [](const Search& s) { return s.outcome != Outcome::Blocked; }) -
        searches.rbegin());
    if (search.outcome == Outcome::Blocked && blockedInARow >= kBlockedInARowToRest) {
        m_restUntil[name] = search.time + kRestSeconds;
    }
}

void EngineHealth::EndRest(std::string_view category, std::string_view engine) {
    const auto found = m_restUntil.find(KeyOf(category, engine));
    if (found != m_restUntil.end()) {
        m_restUntil.erase(found);
    }
}

bool EngineHealth::IsResting(std::string_view category, std::string_view engine,
                             std::int64_t now) const {
    const auto found = m_restUntil.find(KeyOf(category, engine));
    return found != m_restUntil.end() && now < found->second;
}

EngineHealth::Summary EngineHealth::Summarise(std::string_view category, std::string_view engine,
                                              std::int64_t now) const {
    Summary summary;
    const auto found = m_searches.find(KeyOf(category, engine));
    if (found != m_searches.end()) {
        std::vector<std::int64_t> times;
        for (const Search& search : found->second) {
            ++summary.searches;
            if (search.outcome == Outcome::Ok) {
                ++summary.successes;
            }
            if (search.firstResultMs >= 0) {
                times.push_back(search.firstResultMs);
            }
            if (!search.failure.empty()) {
                summary.lastFailure = search.failure;
            }
        }
        if (!times.empty()) {
            std::sort(times.begin(), times.end());
            const std::size_t middle = times.size() / 2;
            summary.medianFirstResultMs =
                times.size() % 2 == 1 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
        }
    }
    if (IsResting(category, engine, now)) {
        summary.restUntil = m_restUntil.find(KeyOf(category, engine))->second;
    }
    return summary;
}

bool EngineHealth::Save() const {
    if (m_unreadable) {
        return false;
    }
    std::string bytes(kFormatLine);
    bytes += kLineEnd;
    for (const auto& [name, searches] : m_searches) {
        for (const Search& search : searches) {
            bytes += kSearchWord;
            bytes += kFieldSeparator + name + kFieldSeparator + std::to_string(search.time);
            bytes += kFieldSeparator;
            bytes += OutcomeWord(search.outcome);
            bytes += kFieldSeparator + std::to_string(search.firstResultMs) + kFieldSeparator;
            bytes += search.failure;
            bytes += kLineEnd;
        }
    }
    for (const auto& [name, until] : m_restUntil) {
        bytes += kRestWord;
        bytes += kFieldSeparator + name + kFieldSeparator + std::to_string(until);
        bytes += kLineEnd;
    }
    return AtomicFile::Write(m_path, bytes);
}

EngineHealth::UpdateResult EngineHealth::Update(const std::function<bool(EngineHealth&)>& change) {
    FolderLock lock(m_folder);
    if (!lock.Acquire(kLockWaitMs)) {
        return UpdateResult::Locked;
    }
    if (!Load()) {
        return UpdateResult::Failed;
    }
    if (!change(*this)) {
        return UpdateResult::Saved;
    }
    return Save() ? UpdateResult::Saved : UpdateResult::Failed;
}

std::string_view EngineHealth::OutcomeWord(Outcome outcome) {
    for (const auto& [value, word] : kOutcomeWords) {
        if (value == outcome) {
            return word;
        }
    }
    return "failed";
}
