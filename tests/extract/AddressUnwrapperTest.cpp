#include "extract/AddressUnwrapper.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

struct Case {
    const char* address;
    const char* expected;
};

void expectUnwraps(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(AddressUnwrapper::Unwrap(c.address), c.expected) << c.address;
    }
}

void expectUnchanged(const std::vector<const char*>& addresses) {
    for (const char* address : addresses) {
        EXPECT_EQ(AddressUnwrapper::Unwrap(address), address);
    }
}

// Every double-quoted href of a page, as written (entities not decoded).
std::vector<std::string> hrefsOf(const std::string& page) {
    const std::string open = "href=\"";
    std::vector<std::string> hrefs;
    for (std::size_t at = page.find(open); at != std::string::npos; at = page.find(open, at)) {
        at += open.size();
        const std::size_t close = page.find('"', at);
        if (close == std::string::npos) {
            break;
        }
        hrefs.push_back(page.substr(at, close - at));
        at = close;
    }
    return hrefs;
}

std::string decodeAmp(std::string text) {
    for (std::size_t at = text.find("&amp;"); at != std::string::npos;
         at = text.find("&amp;", at)) {
        text.replace(at, 5, "&");
        ++at;
    }
    return text;
}

bool isAbsoluteWeb(const std::string& address) {
    for (const char* scheme : {"http://", "https://"}) {
        const std::string prefix(scheme);
        if (address.compare(0, prefix.size(), prefix) == 0 && address.size() > prefix.size() &&
            address[prefix.size()] != '/') {
            return true;
        }
    }
    return false;
}

// The repository's saved page and, when the shared fixtures are beside it, their copy.
std::vector<std::string> savedPages(const std::string& name) {
    std::vector<std::string> paths = {sourcePath("tests/data/pages/" + name + ".html")};
    const std::string fixture = fixturePath("serp/" + name + "-1.html");
    if (!fixture.empty()) {
        paths.push_back(fixture);
    }
    return paths;
}

// Unwraps every href of the engine's saved pages. The hrefs the test's own reading calls
// wrapped must turn into absolute http(s) addresses that are no redirect any more (unwrapping
// again changes nothing), the same with "&amp;" decoded first; every other href must stay as it
// is. Returns the target of the first wrapped href of each page.
std::vector<std::string> unwrapSavedPages(const std::string& name,
                                          const std::function<bool(const std::string&)>& wrapped,
                                          std::size_t& wrappedCount) {
    std::vector<std::string> firsts;
    wrappedCount = 0;
    for (const std::string& path : savedPages(name)) {
        SCOPED_TRACE(path);
        std::string first;
        for (const std::string& href : hrefsOf(readFileBytes(path))) {
            const std::string target = AddressUnwrapper::Unwrap(href);
            if (!wrapped(href)) {
                EXPECT_EQ(target, href);
                continue;
            }
            ++wrappedCount;
            EXPECT_TRUE(isAbsoluteWeb(target)) << href << " -> " << target;
            EXPECT_EQ(AddressUnwrapper::Unwrap(target), target) << href;
            EXPECT_EQ(AddressUnwrapper::Unwrap(decodeAmp(href)), target) << href;
            if (first.empty()) {
                first = target;
            }
        }
        firsts.push_back(first);
    }
    return firsts;
}

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(AddressUnwrapper, DuckDuckGoTakesUddg) {
    expectUnwraps({
        {"//duckduckgo.com/l/?uddg=https%3A%2F%2Fexample.com%2Fa%3Fb%3D1&rut=abc",
         "https://example.com/a?b=1"},
        {"https://duckduckgo.com/l/?uddg=http%3a%2f%2fexample.com%2F&rut=x", "http://example.com/"},
        {"http://html.DuckDuckGo.com/l/?kh=-1&uddg=https%3A%2F%2Fa.org%2Fx+y", "https://a.org/x+y"},
        {"https://duckduckgo.com/l/?uddg=https%3A%2F%2Fa.org%2F&amp;rut=x", "https://a.org/"},
        {"//duckduckgo.com/l/?uddg=HTTPS://a.org/%2541", "HTTPS://a.org/%41"},
        {"//duckduckgo.com/l/?uddg=https%3A%2F%2Fa%30%39.org%2Fa%20b%7E%C3%A9",
         "https://a09.org/a b~\xC3\xA9"},
    });
}

TEST(AddressUnwrapper, YahooAndAolTakeThePathSegmentAfterRu) {
    expectUnwraps({
        {"https://r.search.yahoo.com/_ylt=A0g;_ylu=X3/RV=2/RE=1620/RO=10/"
         "RU=https%3a%2f%2fen.wikipedia.org%2fwiki%2fHello/RK=2/RS=tW.Rc-",
         "https://en.wikipedia.org/wiki/Hello"},
        {"https://r.search.yahoo.com/RV=2/RE=1/RO=10/RU=http%3a%2f%2fa.com%2f/RS=x",
         "http://a.com/"},
        {"https://r.search.yahoo.com/RU=http%3a%2f%2fa.com%2fb", "http://a.com/b"},
        {"https://search.yahoo.com/RU=http%3a%2f%2fa.com%2f/RK=2", "http://a.com/"},
        {"https://search.aol.com/click/_ylt=Aw/RV=2/RE=1/RO=10/RU=https%3a%2f%2fwww.aol.com%2f/"
         "RK=0/RS=6n-",
         "https://www.aol.com/"},
        {"https://r.search.aol.com/_ylt=Aw/RV=2/RU=http%3a%2f%2fwebmail.aol.com/RK=0/RS=y-",
         "http://webmail.aol.com"},
    });
}

TEST(AddressUnwrapper, GoogleTakesQThenUrl) {
    expectUnwraps({
        {"/url?q=https://www.google.com/&sa=U&ved=2ah", "https://www.google.com/"},
        {"/url?q=https://a.com/%3Fx%3D1%26y%3D2&amp;sa=U", "https://a.com/?x=1&y=2"},
        {"/url?sa=t&q=&url=https%3A%2F%2Fb.org%2F&ved=1", "https://b.org/"},
        {"/url?url=http://c.net/p&usg=x", "http://c.net/p"},
        {"https://www.google.com/url?q=https://d.com/a+b", "https://d.com/a+b"},
        {"https://google.co.uk/url?q=https://e.com/", "https://e.com/"},
        {"http://www.google.com.au:80/url?q=https://f.com/", "https://f.com/"},
        {"https://www.GOOGLE.de/url?q=https://g.com/", "https://g.com/"},
        {"https://www.Google.CZ/url?q=https://h.com/", "https://h.com/"},
        {"/url?q=https://a.com/x#top", "https://a.com/x"},
    });
}

TEST(AddressUnwrapper, BingDecodesBase64AfterA1) {
    expectUnwraps({
        {"https://www.bing.com/ck/"
         "a?!&&p=abc&ptn=3&u=a1aHR0cHM6Ly9leGFtcGxlLmNvbS9wYXRoP3g9MQ&ntb=1",
         "https://example.com/path?x=1"},
        {"https://www.bing.com/ck/a?!&&p=abc&u=a1aHR0cHM6Ly9leGFtcGxlLmNvbS9wYXRoP3g9MQ==&ntb=1",
         "https://example.com/path?x=1"},
        {"https://bing.com/ck/a?u=a1aHR0cHM6Ly9leGFtcGxlLm9yZy8_cT0-Pj8",
         "https://example.org/?q=>>?"},
        {"https://www.bing.com/ck/a?!&amp;&amp;p=1&amp;u=a1aHR0cHM6Ly9leGFtcGxlLmNvbS8=",
         "https://example.com/"},
        {"https://www.bing.com/ck/a?u=a1aHR0cHM6Ly9leGFtcGxlLmNvbS94aF9EZzMyNnA0",
         "https://example.com/xh_Dg326p4"},
    });
}

TEST(AddressUnwrapper, RefusesTargetsAndAddressesItCannotTrust) {
    expectUnchanged({
        // Targets that are not absolute web addresses.
        "//duckduckgo.com/l/?uddg=%2Flocal%2Fpage&rut=x",
        "//duckduckgo.com/l/?uddg=javascript%3Aalert(1)",
        "/url?q=ftp://a.com/",
        "/url?q=https://",
        "/url?q=https:///path",
        "/url?q=https://user@/x",
        "/url?q=https://a.com/%0D%0Ax",
        "/url?q=https://a.com/%1F",
        "/url?q=https://a.com/%7F",
        "/url?q=htxp://a.com/",
        "/url?q=",
        "/url?sa=U",
        "https://www.bing.com/ck/a?u=a1amF2YXNjcmlwdDphbGVydCgxKQ==",
        "https://r.search.yahoo.com/RU=%2f%2fa.com%2f/RK=2",
        // Malformed encodings.
        "/url?q=https://a.com/%4",
        "/url?q=https://a.com/%G1",
        "/url?q=https://a.com/%",
        "https://r.search.yahoo.com/RU=https%3a%2f%2fa.com%2z/RK=2",
        "https://www.bing.com/ck/a?u=aHR0cHM6Ly9leGFtcGxlLmNvbS8=",
        "https://www.bing.com/ck/a?u=a1aHR0cHM6Ly9leGFtcGxlLmNvbS9wYXRoP3g9M",
        "https://www.bing.com/ck/a?u=a1aHR0cHM6Ly9leGFtcGxlLmNvbS8===",
        "https://www.bing.com/ck/a?u=a1aHR0cHM6Ly9leGFtcGxlLmNvbS9w=",
        "https://www.bing.com/ck/a?u=a1aHR0cHM6Ly9leGFtcGxlLmNvbS9w====",
        "https://www.bing.com/ck/a?u=a1aHR0cHM6Ly9leGFtcGxlLmNvbS9wYXRoP3g9MQ=",
        "https://www.bing.com/ck/a?u=a1aHR0cHM6Ly9hLmIvfn5+Pw",
        "https://www.bing.com/ck/a?u=a1aHR0cHM6Ly9hLmIvfn5*Pw",
        // Not a redirect: other paths, schemes and parameters.
        "https://duckduckgo.com/?q=https%3A%2F%2Fa.com",
        "https://duckduckgo.com/l?uddg=https%3A%2F%2Fa.com",
        "https://www.google.com/urls?q=https://a.com/",
        "https://www.google.com/search?q=https://a.com/",
        "/url/?q=https://a.com/",
        "url?q=https://a.com/",
        "ftp://www.google.com/url?q=https://a.com/",
        "xttp://www.google.com/url?q=https://a.com/",
        "htxp://www.google.com/url?q=https://a.com/",
        "javascript:/url?q=https://a.com/",
        "https://www.bing.com/search?u=a1aHR0cHM6Ly9leGFtcGxlLmNvbS8=",
        "https://www.bing.com/ck/a?uu=a1aHR0cHM6Ly9leGFtcGxlLmNvbS8=",
        "https://search.yahoo.com/search;_ylt=A0/RV=2?p=Hello",
        "https://search.yahoo.com/search?p=x&RU=https%3a%2f%2fa.com",
        "/RU=https%3a%2f%2fa.com/RK=2",
        "https://www.google.com/#/url?q=https://a.com/",
        "",
        "/",
        // Lookalike hosts.
        "https://notduckduckgo.com/l/?uddg=https%3A%2F%2Fa.com",
        "https://duckduckgo.com.evil.net/l/?uddg=https%3A%2F%2Fa.com",
        "https://duckduckgo.com@evil.net/l/?uddg=https%3A%2F%2Fa.com",
        "https://evilyahoo.com/RU=https%3a%2f%2fa.com/RK=2",
        "https://r.search.yahoo.com.evil.net/RU=https%3a%2f%2fa.com/RK=2",
        "https://aol.com/RU=https%3a%2f%2fa.com/RK=2",
        "https://evilsearch.aol.com/RU=https%3a%2f%2fa.com/RK=2",
        "https://notgoogle.com/url?q=https://a.com/",
        "https://google.evil.com/url?q=https://a.com/",
        "https://www.google.com.evil/url?q=https://a.com/",
        "https://google.co.evil/url?q=https://a.com/",
        "https://google.c0m/url?q=https://a.com/",
        "https://google/url?q=https://a.com/",
        "https://www.google./url?q=https://a.com/",
        "https://google.4u/url?q=https://a.com/",
        "https://co.uk/url?q=https://a.com/",
        "https://www.google.net.uk/url?q=https://a.com/",
        "https://.de/url?q=https://a.com/",
        "https://google.com.x.de/url?q=https://a.com/",
        "https://bing.com.evil.net/ck/a?u=a1aHR0cHM6Ly9leGFtcGxlLmNvbS8=",
        "https://notbing.com/ck/a?u=a1aHR0cHM6Ly9leGFtcGxlLmNvbS8=",
    });
}

TEST(AddressUnwrapper, SavedGooglePagesLinkThroughUrlQ) {
    std::size_t wrapped = 0;
    const auto firsts = unwrapSavedPages(
        "google", [](const std::string& href) { return href.rfind("/url?", 0) == 0; }, wrapped);
    EXPECT_GT(wrapped, 0U);
    for (const std::string& first : firsts) {
        EXPECT_EQ(first, "https://www.google.com/");
    }
}

TEST(AddressUnwrapper, SavedYahooAndAolPagesLinkThroughRu) {
    std::size_t wrapped = 0;
    auto firsts = unwrapSavedPages(
        "yahoo",
        [](const std::string& href) {
            return contains(href, ".yahoo.com/") && contains(href, "/RU=");
        },
        wrapped);
    EXPECT_GT(wrapped, 0U);
    for (const std::string& first : firsts) {
        EXPECT_EQ(first, "https://www.yahoo.com/");
    }
    firsts = unwrapSavedPages(
        "aol",
        [](const std::string& href) {
            return contains(href, "search.aol.com/") && contains(href, "/RU=");
        },
        wrapped);
    EXPECT_GT(wrapped, 0U);
    for (const std::string& first : firsts) {
        EXPECT_EQ(first, "https://www.aol.com/");
    }
}

// The saved DuckDuckGo (HTML version) and Bing pages link their results directly: they hold no
// /l/?uddg= and no /ck/a address, so the rules are proved by the hand-built cases above and the
// pages only show that none of their links is taken for a redirect.
TEST(AddressUnwrapper, SavedDuckDuckGoAndBingPagesKeepTheirDirectLinks) {
    for (const char* name : {"duckduckgo", "bing"}) {
        std::size_t wrapped = 0;
        unwrapSavedPages(
            name,
            [](const std::string& href) {
                return contains(href, "uddg=") || contains(href, "/ck/a");
            },
            wrapped);
        EXPECT_EQ(wrapped, 0U) << name;
    }
}
