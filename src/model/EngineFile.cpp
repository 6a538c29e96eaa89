#include "model/EngineFile.h"

#include "platform/AtomicFile.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr char kColon = ':';
constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char kZeroByte = '\0';
constexpr std::string_view kWebsiteKey = "website";
constexpr std::string_view kGrammarKey = "grm";
// Every website is stored as an address of this scheme.
constexpr std::string_view kWebsiteScheme = "http";
// The one other scheme a website keeps.
constexpr std::string_view kSecureWebsiteScheme = "https";
constexpr std::string_view kEngineFileExtension = ".vnp";
// Bytes of the line end on disk (CR LF) for every line of a canonical file.
constexpr std::size_t kLineEndBytes = 2;
constexpr std::size_t kColonBytes = 1;

constexpr std::size_t overheadOfKeys() {
    std::size_t total = 0;
    for (std::string_view key : EngineDefinition::kFileKeyOrder) {
        total += key.size() + kColonBytes + kLineEndBytes;
    }
    return total;
}

static_assert(overheadOfKeys() == EngineFile::kCanonicalOverheadBytes,
              "the canonical overhead is the keys, colons and line ends");

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isSchemeCharacter(char c) {
    return isAsciiLetter(c) || isAsciiDigit(c) || c == '+' || c == '-' || c == '.';
}

char asciiLower(char c) {
    if (c >= 'A' && c <= 'Z') {
        return static_cast<char>(c - 'A' + 'a');
    }
    return c;
}

bool isSecureScheme(std::string_view scheme) {
    if (scheme.size() != kSecureWebsiteScheme.size()) {
        return false;
    }
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        if (asciiLower(scheme[i]) != kSecureWebsiteScheme[i]) {
            return false;
        }
    }
    return true;
}

// The website as stored: an http or https address. A leading "https" scheme word (any letter
// case) is kept as written; any other scheme word ("ftp:", "http:") is replaced by "http"; a
// value without one ("www.x.com", "localhost:8080", where the colon is followed by a port
// number) gets "http:" in front.
std::string storedWebsite(std::string_view value) {
    std::size_t schemeEnd = 0;
    if (!value.empty() && isAsciiLetter(value[0])) {
        schemeEnd = 1;
        while (schemeEnd < value.size() && isSchemeCharacter(value[schemeEnd])) {
            ++schemeEnd;
        }
    }
    const bool colonFollows =
        schemeEnd > 0 && schemeEnd < value.size() && value[schemeEnd] == kColon;
    const std::size_t afterColon = schemeEnd + 1;
    const bool portFollows =
        colonFollows && afterColon < value.size() && isAsciiDigit(value[afterColon]);
    std::string stored(kWebsiteScheme);
    if (colonFollows && !portFollows) {
        if (isSecureScheme(value.substr(0, schemeEnd))) {
            stored = std::string(value.substr(0, schemeEnd));
        }
        stored += value.substr(schemeEnd);
    } else {
        stored += kColon;
        stored += value;
    }
    return stored;
}

bool isFileKey(std::string_view token) {
    for (std::string_view key : EngineDefinition::kFileKeyOrder) {
        if (token == key) {
            return true;
        }
    }
    return false;
}

// Walks the bytes of an engine file and stores each line's value into its key's field.
class EngineFileParser {
  public:
    explicit EngineFileParser(EngineDefinition& record) : m_record(record) {
        m_token.reserve(EngineFile::kMaxTokenLength);
    }

    void parse(std::string_view bytes) {
        std::size_t index = 0;
        while (index < bytes.size()) {
            const char c = bytes[index];
            if (c == kZeroByte) {
                return;
            }
            if (c == kColon) {
                onColon();
            } else if (c == kCarriageReturn) {
                onLineEnd();
                // The byte after a CR is skipped whatever it is (the LF of CR LF).
                ++index;
            } else if (c == kLineFeed) {
                // A line end of a file saved with LF alone.
                onLineEnd();
            } else {
                append(c);
            }
            ++index;
        }
    }

    // True when a line of the file stored a value under key.
    bool stored(std::string_view key) const {
        for (const std::string& seen : m_storedKeys) {
            if (seen == key) {
                return true;
            }
        }
        return false;
    }

  private:
    enum class LineState {
        BeforeFirstColon, // no colon met yet on this line
        Keyed,            // first colon met; every colon ends a token that may name a key
        WebsiteValue      // the line holds a website value; its further colons belong to it
    };

    void append(char c) {
        if (m_token.size() < EngineFile::kMaxTokenLength) {
            m_token.push_back(c);
        }
    }

    void onColon() {
        if (m_lineState == LineState::WebsiteValue) {
            append(kColon);
            return;
        }
        const bool firstColon = m_lineState == LineState::BeforeFirstColon;
        if (isFileKey(m_token)) {
            m_currentKey = m_token;
            m_token.clear();
            const bool websiteLine = firstColon && m_currentKey == kWebsiteKey;
            m_lineState = websiteLine ? LineState::WebsiteValue : LineState::Keyed;
            return;
        }
        if (firstColon && m_currentKey == kWebsiteKey) {
            // A continuation line of a website, such as "http://host:8080": keep it whole.
            append(kColon);
            m_lineState = LineState::WebsiteValue;
            return;
        }
        // Text before a colon inside any other value is dropped.
        m_token.clear();
        m_lineState = LineState::Keyed;
    }

    void onLineEnd() {
        if (m_currentKey == kWebsiteKey) {
            m_record.setField(m_currentKey, storedWebsite(m_token));
        } else if (!m_currentKey.empty()) {
            m_record.setField(m_currentKey, m_token);
        }
        if (!m_currentKey.empty() && !stored(m_currentKey)) {
            m_storedKeys.push_back(m_currentKey);
        }
        m_token.clear();
        m_lineState = LineState::BeforeFirstColon;
    }

    EngineDefinition& m_record;
    // The key whose field the next line end fills; stays set across lines. Empty for none.
    std::string m_currentKey;
    std::string m_token;
    LineState m_lineState = LineState::BeforeFirstColon;
    // The keys some line stored a value under, in the order first met.
    std::vector<std::string> m_storedKeys;
};

// What keeps a read file from being an engine: an empty name, no grm line; empty when nothing.
std::string lackOf(const EngineDefinition& record, const EngineFileParser& parser) {
    const bool named = !record.name.view().empty();
    const bool withGrammar = parser.stored(kGrammarKey);
    if (named && withGrammar) {
        return {};
    }
    if (!named && !withGrammar) {
        return "no name and no grm line";
    }
    return named ? "no grm line" : "no name";
}

void clearRecord(EngineDefinition& record) {
    record = EngineDefinition();
}

bool readWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// The canonical text with "\n" line ends, as the program writes it before the line ends
// become CR LF on disk.
std::string canonicalText(const EngineDefinition& def) {
    std::string text;
    for (std::string_view key : EngineDefinition::kFileKeyOrder) {
        text += key;
        text += kColon;
        text += def.field(key);
        text += kLineFeed;
    }
    return text;
}

// Every "\n" becomes CR LF, as a text-mode stream writes it.
std::string toDiskLineEnds(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * kLineEndBytes);
    for (char c : text) {
        if (c == kLineFeed) {
            bytes += kCarriageReturn;
        }
        bytes += c;
    }
    return bytes;
}

// True when entry is an engine file whose bytes are exactly expected.
bool holdsExactly(const fs::directory_entry& entry, std::string_view expected) {
    if (!EngineFile::IsEngineFileName(entry.path().filename().string())) {
        return false;
    }
    std::error_code error;
    if (!entry.is_regular_file(error)) {
        return false;
    }
    // The size settles most files without reading them.
    const std::uintmax_t fileSize = entry.file_size(error);
    if (error || fileSize != expected.size()) {
        return false;
    }
    std::string bytes;
    return readWholeFile(entry.path().string(), bytes) && bytes == expected;
}

} // namespace

EngineFile::ReadResult EngineFile::ReadEngineFile(const std::string& path, EngineDefinition& record,
                                                  std::string* lack) {
    std::error_code error;
    const bool exists = fs::exists(path, error);
    if (error) {
        clearRecord(record);
        return ReadResult::Unreadable;
    }
    if (!exists) {
        return ReadResult::Missing;
    }
    clearRecord(record);
    std::string bytes;
    if (fs::is_directory(path, error) || !readWholeFile(path, bytes)) {
        return ReadResult::Unreadable;
    }
    EngineFileParser parser(record);
    parser.parse(bytes);
    const std::string missing = lackOf(record, parser);
    if (missing.empty()) {
        return ReadResult::Read;
    }
    if (lack != nullptr) {
        *lack = missing;
    }
    return ReadResult::NoEngine;
}

int EngineFile::RewriteEngineFile(const EngineDefinition& oldDef, const EngineDefinition& newDef,
                                  const std::string& siteFolder) {
    const std::string oldBytes = CanonicalBytes(oldDef);
    std::error_code error;
    fs::directory_iterator entries(siteFolder, error);
    const fs::directory_iterator end;
    while (!error && entries != end) {
        if (holdsExactly(*entries, oldBytes)) {
            // Written beside the file and renamed over it once complete and flushed, so a full
            // disk or a crash leaves the old file whole.
            return AtomicFile::Write(entries->path().string(), CanonicalBytes(newDef)) ? 1 : 0;
        }
        entries.increment(error);
    }
    return 0;
}

std::string EngineFile::CanonicalBytes(const EngineDefinition& def) {
    return toDiskLineEnds(canonicalText(def));
}

bool EngineFile::IsEngineFileName(std::string_view fileName) {
    if (fileName.size() < kEngineFileExtension.size()) {
        return false;
    }
    const std::string_view ending = fileName.substr(fileName.size() - kEngineFileExtension.size());
    for (std::size_t i = 0; i < ending.size(); ++i) {
        if (asciiLower(ending[i]) != kEngineFileExtension[i]) {
            return false;
        }
    }
    return true;
}
