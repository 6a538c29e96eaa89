#include "extract/ResultExtractor.h"

#include "extract/TextCleaner.h"
#include "platform/AddResultLock.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kDirectiveMark = '$';
// Scheme words of three, four, five or six letters ("ftp:", "http:", "https:", "mailto:") put
// the colon at one of these indexes; such addresses are already absolute.
constexpr std::size_t kSchemeColonIndexes[] = {3, 4, 5, 6};
// The search worker's site root cut starts looking for "/" here, past "http://".
constexpr std::size_t kSiteRootSearchStart = 7;
// An engine whose result addresses are taken as they are, never prefixed with the site root.
constexpr std::string_view kUnprefixedEngineName = "GoTo";
constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
// Buffers are sized once so that feeding a page never allocates per byte.
constexpr std::size_t kInputReserve = 8192;
constexpr std::size_t kLiteralReserve = 512;

// Moves the first count bytes of text to its end.
void rotateFront(std::string& text, std::size_t count) {
    count = std::min(count, text.size());
    std::rotate(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(count), text.end());
}

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

} // namespace

ResultExtractor::ResultExtractor() {
    m_input.reserve(kInputReserve);
    m_pending.reserve(kLiteralReserve);
    m_address.reserve(kAddressCaptureLimit + kLiteralReserve);
    m_title.reserve(kTitleCaptureLimit + kLiteralReserve);
    m_summary.reserve(kSummaryCaptureLimit + kLiteralReserve);
}

ResultExtractor::~ResultExtractor() = default;

void ResultExtractor::SetGrammar(std::string_view grammar) {
    m_pattern.clear();
    m_directives.clear();
    bool insideWord = false;
    for (const char c : grammar) {
        if (!insideWord) {
            m_pattern.push_back(c);
            if (c == kDirectiveMark) {
                insideWord = true;
            }
        } else {
            m_directives.push_back(c);
            if (c == kDirectiveMark) {
                insideWord = false;
            }
        }
    }
    m_position = 0;
}

void ResultExtractor::SetEngineName(std::string_view name) {
    m_engineName = std::string(name.substr(0, kEngineNameMaxLength));
}

void ResultExtractor::SetSiteRoot(std::string_view root) {
    m_siteRoot = std::string(root.substr(0, kSiteRootMaxLength));
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
    if (url.size() <= kSiteRootSearchStart) {
        return {};
    }
    const std::size_t slash = url.find('/', kSiteRootSearchStart);
    if (slash == std::string_view::npos) {
        return {};
    }
    return std::string(url.substr(0, slash));
}

const std::string& ResultExtractor::pattern() const {
    return m_pattern;
}

const std::string& ResultExtractor::directives() const {
    return m_directives;
}

void ResultExtractor::Feed(ResultList& list) {
    const char* bytes = m_input.data();
    const std::size_t size = m_input.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char b = bytes[i];
        const std::size_t position = static_cast<std::size_t>(m_position);
        // Past the pattern's end there is only its terminating zero, which no input byte equals.
        const char p = position < m_pattern.size() ? m_pattern[position] : '\0';
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

void ResultExtractor::ReachDirective(char b) {
    if (m_position == 0) {
        // An empty literal never moves on: extraction stops here for the rest of the page.
        m_capturing = false;
        return;
    }
    m_capturing = true;
    rotateFront(m_pattern, static_cast<std::size_t>(m_position) + 1);
    m_position = 0;

    const std::size_t wordEnd = m_directives.find(kDirectiveMark);
    const std::size_t wordLength = wordEnd == std::string::npos ? m_directives.size() : wordEnd;
    m_current = DirectiveFromWord(std::string_view(m_directives).substr(0, wordLength));
    rotateFront(m_directives, wordLength + 1);
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
    if (m_engineName != kUnprefixedEngineName) {
        ResolveAddress();
    }
    trimWhiteSpace(m_address);

    SearchResult result;
    result.title.set(m_title);
    result.address.set(m_address);
    result.summary.set(m_summary);
    result.engine.set(m_engineName);
    m_title.clear();
    m_address.clear();
    m_summary.clear();

    if (!m_accepting) {
        return;
    }
    // After the bounded wait the result is appended even without the lock.
    const bool locked = AddResultLock::Acquire();
    list.Add(result);
    if (locked) {
        AddResultLock::Release();
    }
}

void ResultExtractor::ResolveAddress() {
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
