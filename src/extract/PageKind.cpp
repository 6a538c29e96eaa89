#include "extract/PageKind.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

// Words of the forms that engines answer instead of results when they take a client for a
// robot, in lower case. Each is specific enough not to stand in an ordinary result page.
constexpr std::array<std::string_view, 10> kChallengeMarkers = {
    "g-recaptcha",
    "captcha-form",
    "unusual traffic",
    "anomaly-modal",
    "challenge-form",
    "cf-challenge",
    "please solve the challenge",
    "are not a robot",
    "bots use duckduckgo too",
    // DuckDuckGo's short answer (status 403) to a client it refuses.
    "error-lite@duckduckgo.com",
};

// Words of the cookie and consent pages some engines put before their results, in lower case.
constexpr std::array<std::string_view, 5> kConsentMarkers = {
    "consent.google", "consent.youtube", "before you continue", "cookie consent", "collectconsent",
};
// A page with this many links or more is a page of content: a wall (a challenge or a consent
// form) offers a form and a few links at most. Such a page is judged by its title and forms
// alone, so a result that quotes a marker does not make it a wall.
constexpr std::size_t kManyLinks = 30;

// A form whose action names this word posts to a consent endpoint.
constexpr std::string_view kConsentEndpoint = "consent";

// Messages of a page that needs scripts to show anything, in lower case.
constexpr std::array<std::string_view, 3> kScriptNeededMarkers = {
    "enable javascript",
    "javascript is disabled",
    "javascript is required",
};
// Elements whose content is no text a reader sees.
constexpr std::array<std::string_view, 4> kHiddenElements = {"script", "style", "noscript",
                                                             "template"};
// A shell shows fewer visible characters (outside tags and whitespace) than this ...
constexpr std::size_t kShellTextLimit = 300;
// ... and either carries a message asking for scripts, or is at least this share scripts.
constexpr std::size_t kShellScriptPercent = 50;
constexpr std::size_t kPercent = 100;

constexpr bool markersFit() {
    for (const std::string_view marker : kChallengeMarkers) {
        if (marker.size() > PageKind::kMarkerLengthLimit) {
            return false;
        }
    }
    return true;
}
static_assert(markersFit(), "a challenge marker is longer than the piece overlap allows");

std::string lowerCopy(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return lower;
}

template <std::size_t N>
bool holdsAny(std::string_view lower, const std::array<std::string_view, N>& markers) {
    return std::any_of(markers.begin(), markers.end(), [lower](std::string_view marker) {
        return lower.find(marker) != std::string_view::npos;
    });
}

bool hasConsentForm(std::string_view lower) {
    for (std::size_t form = lower.find("<form"); form != std::string_view::npos;
         form = lower.find("<form", form + 1)) {
        const std::string_view tag = lower.substr(form, lower.find('>', form) - form);
        const std::size_t action = tag.find("action");
        if (action != std::string_view::npos &&
            tag.find(kConsentEndpoint, action) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

// Whether at is the start of a tag named name ("<script", "<script>" but not "<scripts").
bool isTagStart(std::string_view lower, std::size_t at, std::string_view name) {
    if (lower.compare(at + 1, name.size(), name) != 0) {
        return false;
    }
    const std::size_t after = at + 1 + name.size();
    return after >= lower.size() || lower[after] == '>' || lower[after] == ' ' ||
           lower[after] == '\t' || lower[after] == '\n' || lower[after] == '\r' ||
           lower[after] == '/';
}

std::size_t countLinks(std::string_view lower) {
    std::size_t links = 0;
    for (std::size_t at = lower.find('<'); at != std::string_view::npos;
         at = lower.find('<', at + 1)) {
        if (isTagStart(lower, at, "a")) {
            ++links;
        }
    }
    return links;
}

// The titles and forms of a page, tags and contents: where a wall states what it is.
std::string titlesAndForms(std::string_view lower) {
    std::string parts;
    for (const std::string_view element : {std::string_view("title"), std::string_view("form")}) {
        const std::string opening = "<" + std::string(element);
        const std::string closing = "</" + std::string(element);
        for (std::size_t at = lower.find(opening); at != std::string_view::npos;
             at = lower.find(opening, at + 1)) {
            if (!isTagStart(lower, at, element)) {
                continue;
            }
            const std::size_t close = std::min(lower.find(closing, at), lower.size());
            parts.append(lower.substr(at, close - at));
            parts += '\n';
        }
    }
    return parts;
}

struct TextCount {
    std::size_t visible = 0;
    std::size_t scripted = 0;
};

// Counts the characters a reader would see and the bytes inside script elements.
TextCount countText(std::string_view lower) {
    TextCount count;
    std::size_t at = 0;
    while (at < lower.size()) {
        if (lower[at] != '<') {
            if (lower[at] != ' ' && lower[at] != '\t' && lower[at] != '\n' && lower[at] != '\r') {
                ++count.visible;
            }
            ++at;
            continue;
        }
        const auto hidden =
            std::find_if(kHiddenElements.begin(), kHiddenElements.end(),
                         [&](std::string_view name) { return isTagStart(lower, at, name); });
        const std::size_t tagEnd = std::min(lower.find('>', at), lower.size());
        if (hidden == kHiddenElements.end()) {
            at = tagEnd + 1;
            continue;
        }
        const std::string closing = "</" + std::string(*hidden);
        const std::size_t close = std::min(lower.find(closing, tagEnd), lower.size());
        if (*hidden == "script") {
            count.scripted += close - at;
        }
        at = std::min(lower.find('>', close), lower.size()) + 1;
    }
    return count;
}

} // namespace

PageKind::Kind PageKind::Classify(std::string_view page) {
    const std::string lower = lowerCopy(page.substr(0, kScanLimit));
    const bool manyLinks = countLinks(lower) >= kManyLinks;
    // A page of content is judged by its titles and forms only.
    const std::string judged = manyLinks ? titlesAndForms(lower) : std::string();
    const std::string_view text = manyLinks ? std::string_view(judged) : std::string_view(lower);
    if (holdsAny(text, kChallengeMarkers)) {
        return Kind::Challenge;
    }
    if (holdsAny(text, kConsentMarkers) || hasConsentForm(text)) {
        return Kind::Consent;
    }
    if (manyLinks) {
        return Kind::Results;
    }
    const TextCount count = countText(lower);
    if (count.visible < kShellTextLimit &&
        (holdsAny(lower, kScriptNeededMarkers) ||
         (count.scripted > 0 && count.scripted * kPercent >= lower.size() * kShellScriptPercent))) {
        return Kind::ScriptShell;
    }
    return Kind::Results;
}

bool PageKind::HasChallengeMarker(std::string_view text) {
    return holdsAny(lowerCopy(text), kChallengeMarkers);
}

const char* PageKind::Describe(Kind kind) {
    switch (kind) {
    case Kind::Challenge:
        return "The page is a challenge (a check for robots), not results: the engine blocks "
               "this client.";
    case Kind::Consent:
        return "The page is a consent page (a cookie or consent form), not results: the engine "
               "asks for a choice before it answers.";
    case Kind::ScriptShell:
        return "The page is a page built by scripts: its results are not in the HTML, so no "
               "grammar can read them.";
    case Kind::Results:
        break;
    }
    return "";
}
