#include "search/QueryBuilder.h"

#include "model/EngineCatalog.h"
#include "model/EngineDefinition.h"
#include "model/Utf8Cut.h"
#include "search/JobQueue.h"
#include "search/SearchJob.h"
#include "search/TextReplace.h"
#include "settings/OptionsStore.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <limits>

namespace {

// The five query operators, in the order the engine's opt words spell them.
constexpr std::array<std::string_view, 5> kOperators = {"+", "-", "|", "(", ")"};
// What an operator becomes when the engine gives no word for it.
constexpr std::string_view kMissingOperatorWord = " ";
// Separates the words of opt.
constexpr char kOptSeparator = ',';

// The URLcode value that sends the keyword as typed.
constexpr std::string_view kUrlCodeAsTyped = "URL";
constexpr std::string_view kMethodWordGet = "GET";
constexpr std::string_view kMethodWordPost = "POST";
// Where the keyword goes in the engine's path.
constexpr std::string_view kKeyToken = "$KEY$";

// The biggest encoded byte, "%FF" and its terminating zero.
constexpr std::size_t kEncodedByteBufferSize = 4;
// A space in the keyword is sent as this.
constexpr char kEncodedSpace = '+';

constexpr int64_t kDecimalBase = 10;
// trunpage reads like the platform's atoi: numbers beyond 32 bits stop at its limits.
constexpr int64_t kPageNumberMax = std::numeric_limits<int32_t>::max();
constexpr int64_t kPageNumberMin = std::numeric_limits<int32_t>::min();

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    return std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool IsKeptAsIs(unsigned char byte) {
    if (byte >= 'a' && byte <= 'z') {
        return true;
    }
    if (byte >= 'A' && byte <= 'Z') {
        return true;
    }
    if (byte >= '0' && byte <= '9') {
        return true;
    }
    return byte == '-';
}

// The comma-separated words of opt; an empty word between two commas stays an empty word.
std::vector<std::string_view> SplitOptWords(std::string_view opt) {
    std::vector<std::string_view> words;
    std::size_t from = 0;
    std::size_t comma = opt.find(kOptSeparator);
    while (comma != std::string_view::npos) {
        words.push_back(opt.substr(from, comma - from));
        from = comma + 1;
        comma = opt.find(kOptSeparator, from);
    }
    words.push_back(opt.substr(from));
    return words;
}

// The keyword as a request is built from it: up to its first zero byte (where the keyword's
// text ends in a record) and at most kMaxKeywordLength bytes, without half a character.
std::string_view UsableKeyword(std::string_view keyword) {
    const std::size_t zero = keyword.find('\0');
    if (zero != std::string_view::npos) {
        keyword = keyword.substr(0, zero);
    }
    return Utf8Cut::Prefix(keyword, QueryBuilder::kMaxKeywordLength);
}

} // namespace

std::string QueryBuilder::ExpandGrammar(std::string_view grm) {
    std::string grammar(grm);
    TextReplace::ReplaceAll(grammar, "$COLON$", ":");
    TextReplace::ReplaceAll(grammar, "$CRLF$", "\r\n");
    TextReplace::ReplaceAll(grammar, "$CR$", "\r");
    TextReplace::ReplaceAll(grammar, "$LF$", "\n");
    return grammar;
}

std::string QueryBuilder::UrlEncode(std::string_view text) {
    std::string encoded;
    encoded.reserve(text.size());
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (IsKeptAsIs(byte)) {
            encoded += c;
            continue;
        }
        if (byte == ' ') {
            encoded += kEncodedSpace;
            continue;
        }
        std::array<char, kEncodedByteBufferSize> buffer{};
        std::snprintf(buffer.data(), buffer.size(), "%%%X", static_cast<unsigned>(byte));
        encoded += buffer.data();
    }
    return encoded;
}

ProxySettings QueryBuilder::ReadProxySettings(const OptionsStore& options) {
    ProxySettings proxy;
    proxy.useProxy = options.GetUseProxy();
    proxy.host = options.GetProxyServer();
    proxy.port = options.GetProxyPort();
    return proxy;
}

int QueryBuilder::BuildJobs(const EngineCatalog& catalog, std::string_view keyword,
                            const ProxySettings& proxy, JobQueue& queue,
                            std::vector<std::string>* skipped,
                            const std::vector<std::string>* chosen) {
    const std::string_view usableKeyword = UsableKeyword(keyword);
    int appended = 0;
    const int32_t engineCount = catalog.EngineCount();
    for (int32_t index = 0; index < engineCount; ++index) {
        const EngineDefinition* engine = catalog.Engine(index);
        if (engine == nullptr) {
            continue;
        }
        // A choice of engines by name replaces what the engine files switch on.
        const bool asked = chosen == nullptr ? engine->isEnabled()
                                             : std::find(chosen->begin(), chosen->end(),
                                                         engine->name.view()) != chosen->end();
        if (!asked) {
            continue;
        }
        SearchJob job;
        if (!BuildJob(*engine, usableKeyword, proxy, job)) {
            if (skipped != nullptr) {
                skipped->push_back(engine->name.str());
            }
            continue;
        }
        queue.Enqueue(job);
        ++appended;
    }
    return appended;
}

bool QueryBuilder::BuildJob(const EngineDefinition& engine, std::string_view keyword,
                            const ProxySettings& proxy, SearchJob& job) {
    job.engineName.set(engine.name.view());
    // Host and port are cut to their fields; the request still goes out and a cut proxy name
    // fails like any unreachable proxy.
    job.proxyHost.set(proxy.host);
    job.proxyPort.set(proxy.port);
    job.useProxy = proxy.useProxy;

    // The expansion only shortens the text, so any grm fits.
    bool fits = job.grammar.set(ExpandGrammar(engine.grm.view()));

    job.method = MethodCode(engine.method.view());

    std::string key = TranslateOperators(keyword, engine.opt.view());
    if (!EqualsIgnoringCase(engine.URLcode.view(), kUrlCodeAsTyped)) {
        key = UrlEncode(key);
    }
    std::string query(engine.path.view());
    TextReplace::ReplaceAll(query, kKeyToken, key);

    if (job.method == SearchJob::kMethodPost) {
        fits = fits && job.url.set(engine.website.view());
        fits = fits && job.body.set(query);
    } else {
        std::string url(engine.website.view());
        url += query;
        fits = fits && job.url.set(url);
        job.body.clear();
    }

    job.pageState = PageState(engine.trunpage.view());
    return fits;
}

std::string QueryBuilder::TranslateOperators(std::string_view keyword, std::string_view opt) {
    // Words beyond the fifth have no operator and are ignored. A word longer than the format's
    // 15 characters is used as it is: the text is a growing string, and the finished request
    // is checked against its field anyway.
    const std::vector<std::string_view> words = SplitOptWords(opt);
    std::string translated(keyword);
    for (std::size_t i = 0; i < kOperators.size(); ++i) {
        std::string_view word;
        if (i < words.size()) {
            word = words[i];
        }
        if (word.empty()) {
            word = kMissingOperatorWord;
        }
        // Each operator works on the text the previous ones left, so a word that holds a later
        // operator is replaced again.
        TextReplace::ReplaceAll(translated, kOperators[i], word);
    }
    return translated;
}

uint32_t QueryBuilder::MethodCode(std::string_view method) {
    if (EqualsIgnoringCase(method, kMethodWordPost)) {
        return SearchJob::kMethodPost;
    }
    if (EqualsIgnoringCase(method, kMethodWordGet)) {
        return SearchJob::kMethodGet;
    }
    // A word that is neither still gets the engine queried, as GET: the HTTP client sends every
    // method but POST and HEAD as GET anyway, and skipping the engine would hide it silently.
    return SearchJob::kMethodGet;
}

uint32_t QueryBuilder::PageState(std::string_view trunpage) {
    std::size_t position = 0;
    while (position < trunpage.size() &&
           std::isspace(static_cast<unsigned char>(trunpage[position])) != 0) {
        ++position;
    }
    bool negative = false;
    if (position < trunpage.size() && (trunpage[position] == '-' || trunpage[position] == '+')) {
        negative = trunpage[position] == '-';
        ++position;
    }
    int64_t value = 0;
    while (position < trunpage.size() && trunpage[position] >= '0' && trunpage[position] <= '9') {
        const int64_t digit = trunpage[position] - '0';
        value = std::min(value * kDecimalBase + digit, -kPageNumberMin);
        ++position;
    }
    if (negative) {
        value = -value;
    }
    value = std::clamp(value, kPageNumberMin, kPageNumberMax);
    if (value <= 0) {
        return kDefaultPageState;
    }
    return static_cast<uint32_t>(value);
}
