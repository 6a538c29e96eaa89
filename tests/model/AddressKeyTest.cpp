#include "model/AddressKey.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
    const char* address;
    const char* key;
};

void expectKeys(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(AddressKey::Normalise(c.address), c.key) << c.address;
    }
}

} // namespace

TEST(AddressKey, LowerCasesSchemeAndHostOnly) {
    expectKeys({
        {"HTTP://WWW.Example.COM/Path/File.HTML?Q=A", "http://www.example.com/Path/File.HTML?Q=A"},
        {"https://User:PW@Example.com/X", "https://User:PW@example.com/X"},
        {"Ftp://Files.Example.com/A", "ftp://files.example.com/A"},
        {"Zz9+a-b.0://AZ.Host/P", "zz9+a-b.0://az.host/P"},
        {"a://Z", "a://z/"},
        {"http://a.com/b/../C", "http://a.com/b/../C"},
        {"http://a.com/%7Euser%2f", "http://a.com/%7Euser%2f"},
    });
}

TEST(AddressKey, DropsOnlyTheDefaultPortOfTheScheme) {
    expectKeys({
        {"http://a.com:80/x", "http://a.com/x"},
        {"HTTP://A.com:80", "http://a.com/"},
        {"https://a.com:443/x", "https://a.com/x"},
        {"https://a.com:80/x", "https://a.com:80/x"},
        {"http://a.com:443/x", "http://a.com:443/x"},
        {"http://a.com:8080/x", "http://a.com:8080/x"},
        {"http://a.com:800/x", "http://a.com:800/x"},
        {"ftp://a.com:80/x", "ftp://a.com:80/x"},
        {"http://u:80@a.com/x", "http://u:80@a.com/x"},
        {"http://[::1]:80/x", "http://[::1]/x"},
        {"http://[::1]/x", "http://[::1]/x"},
        {"http://[::1]:8080/x", "http://[::1]:8080/x"},
    });
}

TEST(AddressKey, WritesAnEmptyPathAsSlashAndDropsTheFragment) {
    expectKeys({
        {"http://a.com", "http://a.com/"},
        {"http://a.com?q=1", "http://a.com/?q=1"},
        {"http://a.com#top", "http://a.com/"},
        {"http://a.com/p?q=1#frag?x", "http://a.com/p?q=1"},
        {"http://a.com/p#", "http://a.com/p"},
        {"http://a.com/?q=A+B&r=%20", "http://a.com/?q=A+B&r=%20"},
    });
}

TEST(AddressKey, KeepsAddressesWithoutSchemeButTheirFragment) {
    expectKeys({
        {"WWW.Example.com/Page#x", "WWW.Example.com/Page"},
        {"/relative/Path?x#y", "/relative/Path?x"},
        {"mailto:Someone@Example.com", "mailto:Someone@Example.com"},
        {"/go?to=HTTP://A.com", "/go?to=HTTP://A.com"},
        {"1http://A.com", "1http://A.com"},
        {"://A.com/", "://A.com/"},
        {"a b://A.com/", "a b://A.com/"},
        {"#only", ""},
        {"", ""},
    });
}

TEST(AddressKey, SameKeyForTheSamePage) {
    EXPECT_EQ(AddressKey::Normalise("HTTP://Example.com:80#a"),
              AddressKey::Normalise("http://example.com/#b"));
    EXPECT_NE(AddressKey::Normalise("http://example.com/A"),
              AddressKey::Normalise("http://example.com/a"));
    EXPECT_NE(AddressKey::Normalise("http://example.com/"),
              AddressKey::Normalise("https://example.com/"));
}
