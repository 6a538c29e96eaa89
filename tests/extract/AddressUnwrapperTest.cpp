#include "extract/AddressUnwrapper.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

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

std::string decodeAmp(const std::string& text) {
    return std::regex_replace(text, std::regex("&amp;"), "&");
}

bool isAbsoluteWeb(const std::string& address) {
    return std::regex_search(address, std::regex("^https?://[^/]"));
}

} // namespace

TEST(AddressUnwrapper, TakesTheTargetOfEachEnginesRedirect) {
    const struct {
        const char* address;
        const char* expected;
    } cases[] = {
        // DuckDuckGo: the uddg parameter.
        {"//duckduckgo.com/l/?uddg=https%3A%2F%2Fexample.com%2Fa%3Fb%3D1&rut=abc",
         "https://example.com/a?b=1"},
        {"https://duckduckgo.com/l/?uddg=http%3a%2f%2fexample.com%2F&rut=x", "http://example.com/"},
        {"http://html.DuckDuckGo.com/l/?kh=-1&uddg=https%3A%2F%2Fa.org%2Fx+y", "https://a.org/x+y"},
        {"https://duckduckgo.com/l/?uddg=https%3A%2F%2Fa.org%2F&amp;rut=x", "https://a.org/"},
        {"//duckduckgo.com/l/?uddg=HTTPS://a.org/%2541", "HTTPS://a.org/%41"},
        {"//duckduckgo.com/l/?uddg=https%3A%2F%2Fa%30%39.org%2Fa%20b%7E%C3%A9",
         "https://a09.org/a b~\xC3\xA9"},
        // Yahoo and AOL: the path segment after RU=.
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
        // Google: q, else url, on the google hosts of every country.
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
        // Bing: the base64 of u after "a1".
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
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AddressUnwrapper::Unwrap(c.address), c.expected) << c.address;
    }
}

TEST(AddressUnwrapper, RefusesTargetsAndAddressesItCannotTrust) {
    for (const char* address :
         {// Targets that are not absolute web addresses.
          "//duckduckgo.com/l/?uddg=%2Flocal%2Fpage&rut=x",
          "//duckduckgo.com/l/?uddg=javascript%3Aalert(1)", "/url?q=ftp://a.com/",
          "/url?q=https://", "/url?q=https:///path", "/url?q=https://user@/x",
          "/url?q=https://a.com/%0D%0Ax", "/url?q=https://a.com/%1F", "/url?q=https://a.com/%7F",
          "/url?q=htxp://a.com/", "/url?q=", "/url?sa=U",
          "https://www.bing.com/ck/a?u=a1amF2YXNjcmlwdDphbGVydCgxKQ==",
          "https://r.search.yahoo.com/RU=%2f%2fa.com%2f/RK=2",
          // Malformed encodings.
          "/url?q=https://a.com/%4", "/url?q=https://a.com/%G1", "/url?q=https://a.com/%",
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
          "https://www.google.com/search?q=https://a.com/", "/url/?q=https://a.com/",
          "url?q=https://a.com/", "ftp://www.google.com/url?q=https://a.com/",
          "xttp://www.google.com/url?q=https://a.com/",
          "htxp://www.google.com/url?q=https://a.com/", "javascript:/url?q=https://a.com/",
          "https://www.bing.com/search?u=a1aHR0cHM6Ly9leGFtcGxlLmNvbS8=",
          "https://www.bing.com/ck/a?uu=a1aHR0cHM6Ly9leGFtcGxlLmNvbS8=",
          "https://search.yahoo.com/search;_ylt=A0/RV=2?p=Hello",
          "https://search.yahoo.com/search?p=x&RU=https%3a%2f%2fa.com",
          "/RU=https%3a%2f%2fa.com/RK=2", "https://www.google.com/#/url?q=https://a.com/", "", "/",
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
          "https://google.co.evil/url?q=https://a.com/", "https://google.c0m/url?q=https://a.com/",
          "https://google/url?q=https://a.com/", "https://www.google./url?q=https://a.com/",
          "https://google.4u/url?q=https://a.com/", "https://co.uk/url?q=https://a.com/",
          "https://www.google.net.uk/url?q=https://a.com/", "https://.de/url?q=https://a.com/",
          "https://google.com.x.de/url?q=https://a.com/",
          "https://bing.com.evil.net/ck/a?u=a1aHR0cHM6Ly9leGFtcGxlLmNvbS8=",
          "https://notbing.com/ck/a?u=a1aHR0cHM6Ly9leGFtcGxlLmNvbS8="}) {
        EXPECT_EQ(AddressUnwrapper::Unwrap(address), address);
    }
}

// Every href of the engine's real answer page (shared fixtures): those holding the engine's redirect marker turn into
// absolute http(s) addresses that are no redirect any more (unwrapping again changes nothing),
// the same with "&amp;" decoded first; every other href stays as it is. The saved DuckDuckGo
// (HTML version) and Bing pages link their results directly, so none of their links may be
// taken for a redirect.
TEST(AddressUnwrapper, SavedPagesUnwrapOnlyTheirRedirects) {
    const struct {
        const char* page;
        const char* marker;
        const char* firstTarget;
    } saved[] = {
        {"google/serpparser-2023.html", "/url?", "https://www.google.com/"},
        {"yahoo/bisohns-2021.html", "/RU=", "https://www.yahoo.com/"},
        {"aol/bisohns-2021.html", "/RU=", "https://www.aol.com/"},
        {"duckduckgo/bisohns-2021.html", nullptr, nullptr},
        {"bing/serpparser-2021.html", nullptr, nullptr},
    };
    for (const auto& s : saved) {
        SCOPED_TRACE(s.page);
        const std::string path = fixturePath("serp/" + std::string(s.page));
        if (path.empty()) {
            continue; // the real pages live only in the shared fixtures
        }
        std::string first;
        for (const std::string& href : hrefsOf(readFileBytes(path))) {
            const std::string target = AddressUnwrapper::Unwrap(href);
            if (s.marker == nullptr || href.find(s.marker) == std::string::npos) {
                EXPECT_EQ(target, href);
                continue;
            }
            EXPECT_TRUE(isAbsoluteWeb(target)) << href << " -> " << target;
            EXPECT_EQ(AddressUnwrapper::Unwrap(target), target) << href;
            EXPECT_EQ(AddressUnwrapper::Unwrap(decodeAmp(href)), target) << href;
            if (first.empty()) {
                first = target;
            }
        }
        EXPECT_EQ(first, s.firstTarget == nullptr ? "" : s.firstTarget);
    }
}

TEST(AddressUnwrapper, TellsAddressesStillWrapped) {
    const struct {
        const char* address;
        bool wrapped;
    } cases[] = {
        {"https://duckduckgo.com/l/?uddg=broken", true},
        {"https://www.bing.com/ck/a?!&&p=1&u=a1bad", true},
        {"https://r.search.yahoo.com/_ylt=x/RU=bad/RK=2", true},
        {"https://click.example/go?url=http%3A%2F%2Fa.example%2F", true},
        {"https://click.example/go?id=3&u=https://a.example/", true},
        {"https://www.yahoo.com/news/", false},
        {"https://a.example/page?q=cats", false},
        {"https://www.bing.com/search?q=x", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AddressUnwrapper::LooksWrapped(c.address), c.wrapped) << c.address;
    }
}
