#include "extract/ResultExtractor.h"

#include "extract/AddressUnwrapper.h"
#include "extract/TextCleaner.h"
#include "platform/ScopedAddResultLock.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr char kDirectiveMark = '$';
// Scheme words of three, four, five or six letters ("ftp:", "http:", "https:", "mailto:") put
// the colon at one of these indexes; such addresses are already absolute.
constexpr std::size_t kSchemeColonIndexes[] = {3, 4, 5, 6};
// The search worker's site root cut starts looking for "/" here, past "http://", or past
// "https://" for a secure address.
constexpr std::size_t kSiteRootSearchStart = 7;
constexpr std::size_t kSecureSiteRootSearchStart = 8;
constexpr std::string_view kSecurePrefix = "https://";
// An engine whose result addresses are taken as they are, never prefixed with the site root.
constexpr std::string_view kUnprefixedEngineName = "GoTo";
constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
// A protocol-relative address ("//host/path") names its own host.
constexpr std::string_view kNetworkPathPrefix = "//";
constexpr char kSchemeEnd = ':';
// Buffers are sized once so that feeding a page never allocates per byte.
constexpr std::size_t kInputReserve = 8192;
constexpr std::size_t kLiteralReserve = 512;

void trimWhiteSpace(std::string& text) {
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos) {
        text.clear();
        return;
    }
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    text.erase(last + 1);
    text.erase(0, first);
}

// The scheme of root with its colon ("https:"), or empty when root does not begin with a scheme
// word (a letter, then letters, digits, "+", "-" or ".").
std::string_view schemeOf(std::string_view root) {
    if (root.empty() || std::isalpha(static_cast<unsigned char>(root[0])) == 0) {
        return {};
    }
    for (std::size_t i = 1; i < root.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(root[i]);
        if (c == kSchemeEnd) {
            return root.substr(0, i + 1);
        }
        if (std::isalnum(c) == 0 && c != '+' && c != '-' && c != '.') {
            return {};
        }
    }
    return {};
}

} // namespace

ResultExtractor::ResultExtractor() {
    m_input.reserve(kInputReserve);
    m_pending.reserve(kLiteralReserve);
    m_address.reserve(kAddressCaptureLimit + kLiteralReserve);
    m_title.reserve(kTitleCaptureLimit + kLiteralReserve);
    m_summary.reserve(kSummaryCaptureLimit + kLiteralReserve);
}

ResultExtractor::~ResultExtractor() = default;

void ResultExtractor::Ring::assign(const std::string& text) {
    doubled = text + text;
    length = text.size();
    start = 0;
}

void ResultExtractor::Ring::rotate(std::size_t count) {
    if (length == 0) {
        return;
    }
    start = (start + std::min(count, length)) % length;
}

std::string_view ResultExtractor::Ring::view() const {
    return std::string_view(doubled).substr(start, length);
}

void ResultExtractor::SetGrammar(std::string_view grammar) {
    std::string pattern;
    std::string directives;
    bool insideWord = false;
    for (const char c : grammar) {
        if (!insideWord) {
            pattern.push_back(c);
            if (c == kDirectiveMark) {
                insideWord = true;
            }
        } else {
            directives.push_back(c);
            if (c == kDirectiveMark) {
                insideWord = false;
            }
        }
    }
    m_pattern.assign(pattern);
    m_directives.assign(directives);
    m_position = 0;
}

void ResultExtractor::SetEngineName(std::string_view name) {
    m_engineName = std::string(name.substr(0, kEngineNameMaxLength));
}

void ResultExtractor::SetSiteRoot(std::string_view root) {
    m_siteRoot = std::string(root.substr(0, kSiteRootMaxLength));
}

void ResultExtractor::SetUnwrapAddresses(bool unwrap) {
    m_unwrapAddresses = unwrap;
}

void ResultExtractor::AppendInput(const char* data, std::size_t size) {
    const void* zero = std::memchr(data, '\0', size);
    if (zero != nullptr) {
        size = static_cast<std::size_t>(static_cast<const char*>(zero) - data);
    }
    m_input.append(data, size);
}

void ResultExtractor::StopAccepting() {
    m_accepting = false;
}

std::string ResultExtractor::SiteRootFromUrl(std::string_view url) {
    std::size_t start = kSiteRootSearchStart;
    if (url.size() >= kSecurePrefix.size()) {
        bool secure = true;
        for (std::size_t i = 0; i < kSecurePrefix.size(); ++i) {
            secure = secure && std::tolower(static_cast<unsigned char>(url[i])) == kSecurePrefix[i];
        }
        if (secure) {
            start = kSecureSiteRootSearchStart;
        }
    }
    if (url.size() <= start) {
        return {};
    }
    const std::size_t slash = url.find('/', start);
    if (slash == std::string_view::npos) {
        return {};
    }
    return std::string(url.substr(0, slash));
}

std::string ResultExtractor::pattern() const {
    return std::string(m_pattern.view());
}

std::string ResultExtractor::directives() const {
    return std::string(m_directives.view());
}

void ResultExtractor::Feed(ResultList& list) {
    const char* bytes = m_input.data();
    const std::size_t size = m_input.size();
    std::size_t i = 0;
    while (i < size) {
        const std::size_t position = static_cast<std::size_t>(m_position);
        // Past the pattern's end there is only its terminating zero, which no input byte equals.
        const char p =
            position < m_pattern.length ? m_pattern.doubled[m_pattern.start + position] : '\0';
        if (position == 0 && p == kDirectiveMark) {
            // An empty literal never moves on: extraction stops here for the rest of the page.
            m_capturing = false;
            break;
        }
        if (position == 0 && p != '\0' && (!m_capturing || m_current != Directive::End)) {
            // Fast path: every byte up to the next one that starts the literal either is
            // skipped or joins the field, one after the other, exactly as the byte walk does.
            const void* hit = std::memchr(bytes + i, p, size - i);
            const std::size_t end =
                hit != nullptr ? static_cast<std::size_t>(static_cast<const char*>(hit) - bytes)
                               : size;
            if (m_capturing) {
                CaptureRun(bytes + i, end - i);
            }
            i = end;
            if (i == size) {
                break;
            }
        }
        const char b = bytes[i];
        ++i;
        if (p == kDirectiveMark) {
            ReachDirective(b);
        } else if (b == p) {
            ++m_position;
            m_pending.push_back(b);
        } else if (!m_capturing) {
            // The mismatching byte is not tried again against the literal's first byte.
            m_position = 0;
        } else if (m_current == Directive::End) {
            if (m_position > 0) {
                m_pending.clear();
            }
            FinishResult(list);
            m_capturing = false;
            m_position = 0;
        } else {
            MismatchWhileCapturing(b);
        }
    }
    m_input.clear();
}

void ResultExtractor::CaptureRun(const char* bytes, std::size_t count) {
    std::string* buffer = CaptureBuffer();
    const std::size_t limit = CaptureLimit();
    while (count > 0) {
        if (buffer->size() >= limit) {
            buffer->clear();
        }
        const std::size_t room = limit - buffer->size();
        const std::size_t take = std::min(room, count);
        buffer->append(bytes, take);
        bytes += take;
        count -= take;
    }
}

void ResultExtractor::ReachDirective(char b) {
    if (m_position == 0) {
        // An empty literal never moves on: extraction stops here for the rest of the page.
        m_capturing = false;
        return;
    }
    m_capturing = true;
    m_pattern.rotate(static_cast<std::size_t>(m_position) + 1);
    m_position = 0;

    const std::string_view words = m_directives.view();
    const std::size_t wordEnd = words.find(kDirectiveMark);
    const std::size_t wordLength = wordEnd == std::string_view::npos ? words.size() : wordEnd;
    m_current = DirectiveFromWord(words.substr(0, wordLength));
    m_directives.rotate(wordLength + 1);
    if (m_current == Directive::None) {
        m_capturing = false;
    }
    // The byte after a field's opening literal always belongs to the field.
    std::string* buffer = CaptureBuffer();
    if (buffer != nullptr) {
        buffer->push_back(b);
    }
    m_pending.clear();
}

void ResultExtractor::MismatchWhileCapturing(char b) {
    std::string* buffer = CaptureBuffer();
    if (m_position > 0) {
        // The closing literal only partly matched: what matched is field text after all.
        buffer->append(m_pending);
        m_pending.clear();
    }
    if (buffer->size() >= CaptureLimit()) {
        buffer->clear();
    }
    buffer->push_back(b);
    m_position = 0;
}

void ResultExtractor::FinishResult(ResultList& list) {
    TextCleaner::CleanText(m_title);
    TextCleaner::CleanText(m_address);
    TextCleaner::CleanText(m_summary);
    // Trimmed before it is resolved: a blank in front would hide a leading "/" and end up
    // inside the absolute address.
    trimWhiteSpace(m_address);
    // A redirect written relative to the engine's own site ("/url?q=...") is read before the
    // site root hides it; one written in full only after it is resolved.
    if (m_unwrapAddresses) {
        m_address = AddressUnwrapper::Unwrap(m_address);
    }
    if (m_engineName != kUnprefixedEngineName) {
        ResolveAddress();
    }
    if (m_unwrapAddresses) {
        m_address = AddressUnwrapper::Unwrap(m_address);
    }

    if (m_accepting) {
        // After the bounded wait the result is appended even without the lock. Adding cuts
        // each text to its field's capacity.
        const ScopedAddResultLock lock;
        list.Add(m_title, m_address, m_summary, m_engineName);
    }
    m_title.clear();
    m_address.clear();
    m_summary.clear();
}

void ResultExtractor::ResolveAddress() {
    if (m_address.starts_with(kNetworkPathPrefix)) {
        // Another host, reached the way the answer page itself was.
        m_address.insert(0, schemeOf(m_siteRoot));
        return;
    }
    if (!m_address.empty() && m_address[0] == '/') {
        m_address.insert(0, m_siteRoot);
        return;
    }
    for (const std::size_t index : kSchemeColonIndexes) {
        if (index < m_address.size() && m_address[index] == ':') {
            return;
        }
    }
    if (!m_address.empty() && m_address[0] == '(') {
        return;
    }
    m_address.insert(0, m_siteRoot + "/");
}

std::string* ResultExtractor::CaptureBuffer() {
    switch (m_current) {
    case Directive::Url:
        return &m_address;
    case Directive::Name:
        return &m_title;
    case Directive::Memo:
        return &m_summary;
    case Directive::End:
    case Directive::None:
        break;
    }
    return nullptr;
}

std::size_t ResultExtractor::CaptureLimit() const {
    switch (m_current) {
    case Directive::Url:
        return kAddressCaptureLimit;
    case Directive::Name:
        return kTitleCaptureLimit;
    case Directive::Memo:
        return kSummaryCaptureLimit;
    case Directive::End:
    case Directive::None:
        break;
    }
    return 0;
}

ResultExtractor::Directive ResultExtractor::DirectiveFromWord(std::string_view word) {
    if (word == "URL") {
        return Directive::Url;
    }
    if (word == "NAME") {
        return Directive::Name;
    }
    if (word == "MEMO") {
        return Directive::Memo;
    }
    if (word == "END") {
        return Directive::End;
    }
    return Directive::None;
}
