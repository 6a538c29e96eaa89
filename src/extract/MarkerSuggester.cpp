#include "extract/MarkerSuggester.h"

#include <algorithm>
#include <vector>

namespace {

// Runs of links tried, from the first off-site link on, before giving up.
constexpr std::size_t kRunsTried = 12;
constexpr std::string_view kHostPrefixIgnored = "www.";
constexpr std::string_view kSchemeEnd = "://";

struct Link {
    std::size_t tagStart = 0;
    // Where the address's value begins (after its opening quote).
    std::size_t valueStart = 0;
    // The closing quote of the address.
    std::size_t valueEnd = 0;
    std::size_t tagEnd = 0;
};

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerCopy(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), lowerAscii);
    return lower;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view withoutWww(std::string_view host) {
    if (host.starts_with(kHostPrefixIgnored)) {
        host.remove_prefix(kHostPrefixIgnored.size());
    }
    return host;
}

// Whether an absolute http or https address leads off the engine's own site.
bool isOffSite(std::string_view lowerAddress, std::string_view ownBase) {
    if (!lowerAddress.starts_with("http://") && !lowerAddress.starts_with("https://")) {
        return false;
    }
    const std::size_t hostStart = lowerAddress.find(kSchemeEnd) + kSchemeEnd.size();
    const std::size_t hostEnd =
        std::min(lowerAddress.find_first_of("/?#:", hostStart), lowerAddress.size());
    const std::string_view host = lowerAddress.substr(hostStart, hostEnd - hostStart);
    if (host.empty()) {
        return false;
    }
    if (ownBase.empty()) {
        return true;
    }
    const std::string_view base = withoutWww(host);
    return base != ownBase && !(host.ends_with(ownBase) && host.size() > ownBase.size() &&
                                host[host.size() - ownBase.size() - 1] == '.');
}

std::vector<Link> offSiteLinks(std::string_view lower, std::string_view ownBase) {
    std::vector<Link> links;
    for (std::size_t at = lower.find("<a"); at != std::string_view::npos;
         at = lower.find("<a", at + 1)) {
        if (at + 2 >= lower.size() || !isSpace(lower[at + 2])) {
            continue;
        }
        const std::size_t tagEnd = lower.find('>', at);
        if (tagEnd == std::string_view::npos) {
            break;
        }
        const std::string_view tag = lower.substr(at, tagEnd - at);
        const std::size_t href = tag.find("href=");
        if (href == std::string_view::npos || href + 5 >= tag.size()) {
            continue;
        }
        const char quote = tag[href + 5];
        if (quote != '"' && quote != '\'') {
            continue;
        }
        const std::size_t valueStart = href + 6;
        const std::size_t valueEnd = tag.find(quote, valueStart);
        if (valueEnd == std::string_view::npos ||
            !isOffSite(tag.substr(valueStart, valueEnd - valueStart), ownBase)) {
            continue;
        }
        links.push_back({at, at + valueStart, at + valueEnd, tagEnd});
    }
    return links;
}

std::size_t countOf(std::string_view page, std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = page.find(text); at != std::string_view::npos;
         at = page.find(text, at + 1)) {
        ++count;
    }
    return count;
}

std::string_view lookBehind(std::string_view page, const Link& link) {
    const std::size_t start = link.tagStart - std::min(link.tagStart, MarkerSuggester::kLookBehind);
    return page.substr(start, link.tagStart - start);
}

// The links whose look-behind ends like the candidate's, sharing the longest ending that at
// least kLinksCompared links share; the ending is cut to begin at a tag, and empty when none
// is found.
std::vector<const Link*> matchingRun(std::string_view page, const std::vector<Link>& links,
                                     const Link& candidate, std::string_view& marker) {
    const std::string_view behind = lookBehind(page, candidate);
    for (std::size_t length = behind.size(); length > 0; --length) {
        const std::string_view ending = behind.substr(behind.size() - length);
        std::vector<const Link*> run;
        for (const Link& link : links) {
            if (lookBehind(page, link).ends_with(ending)) {
                run.push_back(&link);
            }
        }
        if (run.size() < MarkerSuggester::kLinksCompared) {
            continue;
        }
        const std::size_t tag = ending.find('<');
        if (tag == std::string_view::npos) {
            return {};
        }
        marker = ending.substr(tag);
        return run;
    }
    return {};
}

// The text from an address's closing quote to the first character of the title after it.
std::string_view untilTitle(std::string_view page, const Link& link) {
    std::size_t at = link.tagEnd + 1;
    while (at < page.size() && (page[at] == '<' || isSpace(page[at]))) {
        if (page[at] == '<') {
            at = std::min(page.find('>', at), page.size() - 1);
        }
        ++at;
    }
    return page.substr(link.valueEnd, at - link.valueEnd);
}

} // namespace

MarkerSuggester::Suggestion MarkerSuggester::Suggest(std::string_view page,
                                                     std::string_view ownHost) {
    const std::string lower = lowerCopy(page);
    const std::string ownBase(withoutWww(lowerCopy(ownHost)));
    const std::vector<Link> links = offSiteLinks(lower, ownBase);
    Suggestion suggestion;
    for (std::size_t first = 0; first < links.size() && first < kRunsTried; ++first) {
        std::string_view marker;
        const std::vector<const Link*> run = matchingRun(page, links, links[first], marker);
        if (run.empty() || countOf(page, marker) < kLinksCompared) {
            continue;
        }
        suggestion.found = true;
        suggestion.startMarker = std::string(marker);
        // The opening of the link up to its address, when the links compared open alike.
        const std::string_view opening =
            page.substr(run[0]->tagStart, run[0]->valueStart - run[0]->tagStart);
        const std::string_view after = untilTitle(page, *run[0]);
        bool sameOpening = true;
        bool sameAfter = true;
        for (std::size_t i = 1; i < kLinksCompared; ++i) {
            sameOpening =
                sameOpening &&
                page.substr(run[i]->tagStart, run[i]->valueStart - run[i]->tagStart) == opening;
            sameAfter = sameAfter && untilTitle(page, *run[i]) == after;
        }
        suggestion.startMarker += sameOpening ? opening : std::string_view("<a ");
        if (sameAfter) {
            suggestion.afterAddress = std::string(after);
        }
        return suggestion;
    }
    return suggestion;
}
