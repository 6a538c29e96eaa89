#include "extract/PageKind.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Kind = PageKind::Kind;

struct PageCase {
    const char* page;
    Kind kind;
};

const std::string kScript = "<script>" + std::string(2000, 'x') + "</script>";

} // namespace

TEST(PageKind, ClassifiesSyntheticPages) {
    const std::string shell =
        "<html><head>" + kScript + "</head><body><div id=app></div>" + kScript + "</body></html>";
    const std::string results = "<ol><li><a href=\"http://a.example/\">" + std::string(400, 'w') +
                                "</a></li></ol>" + kScript;
    std::string links;
    for (int i = 0; i < 40; ++i) {
        links += "<a href=\"http://a.example/" + std::to_string(i) + "\">r</a>\n";
    }
    // A page of content is a wall only by its title or forms, not by a quoted word.
    const std::string quoting = links + "<p>Are you not a robot? unusual traffic</p>";
    const std::string walled = links + "<form id=\"captcha-form\"></form>";
    const PageCase cases[] = {
        {quoting.c_str(), Kind::Results},
        {walled.c_str(), Kind::Challenge},
        {"<form id=\"captcha-form\">", Kind::Challenge},
        {"Our systems have detected UNUSUAL TRAFFIC from your network", Kind::Challenge},
        {"<div>Please solve the challenge below to continue</div>", Kind::Challenge},
        {"<a href=\"https://consent.google.com/ml\">", Kind::Consent},
        {"<h1>Before you continue to Google</h1>", Kind::Consent},
        {"<form method=post action=\"https://guce.example/consent/collect\">", Kind::Consent},
        {"<noscript>Please enable JavaScript to see the results.</noscript>", Kind::ScriptShell},
        {shell.c_str(), Kind::ScriptShell},
        {results.c_str(), Kind::Results},
        {"<p>nothing</p>", Kind::Results},
        {"", Kind::Results},
        {"<form action=\"/search\"><input name=q></form>", Kind::Results},
    };
    for (const PageCase& c : cases) {
        EXPECT_EQ(PageKind::Classify(c.page), c.kind) << c.page;
    }
    EXPECT_TRUE(PageKind::HasChallengeMarker("x G-RECAPTCHA y"));
    EXPECT_FALSE(PageKind::HasChallengeMarker("a captcha of a kind"));
}

TEST(PageKind, ClassifiesSavedPages) {
    for (const char* name : {"aol/bisohns-2021.html", "ask/bisohns-2021.html",
                             "bing/serpparser-2021.html", "duckduckgo/bisohns-2021.html",
                             "google/serpparser-2023.html", "yahoo/bisohns-2021.html"}) {
        const std::string path = fixturePath(std::string("serp/") + name);
        if (!path.empty()) {
            EXPECT_EQ(PageKind::Classify(readFileBytes(path)), Kind::Results) << name;
        }
    }
    const char* const blocked[] = {
        "bing/blocked/websearchmcp-2026-challenge.html",
        "duckduckgo/blocked/bisohns-2020-403.html",
        "duckduckgo/blocked/celina-2026-lite-anomaly.html",
        "google/blocked/serpparser-2020-recaptcha.html",
    };
    for (const char* name : blocked) {
        const std::string path = fixturePath(std::string("serp/") + name);
        if (path.empty()) {
            continue; // the collection of blocked pages is not beside the repository
        }
        EXPECT_EQ(PageKind::Classify(readFileBytes(path)), Kind::Challenge) << name;
    }
}
