#include "model/AddressKey.h"

#include <gtest/gtest.h>

// The key under which two addresses are the same page: scheme and host in lower case, the
// scheme's default port dropped, an empty path written as "/", the fragment dropped; the rest
// (path, query, user) kept byte for byte, and addresses without a scheme kept but their fragment.
TEST(AddressKey, Normalise) {
    const struct {
        const char* address;
        const char* key;
    } cases[] = {
        // Letter case.
        {"HTTP://WWW.Example.COM/Path/File.HTML?Q=A", "http://www.example.com/Path/File.HTML?Q=A"},
        {"https://User:PW@Example.com/X", "https://User:PW@example.com/X"},
        {"Ftp://Files.Example.com/A", "ftp://files.example.com/A"},
        {"Zz9+a-b.0://AZ.Host/P", "zz9+a-b.0://az.host/P"},
        {"a://Z", "a://z/"},
        {"http://a.com/b/../C", "http://a.com/b/../C"},
        {"http://a.com/%7Euser%2f", "http://a.com/%7Euser%2f"},
        // Ports.
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
        // Empty path and fragment.
        {"http://a.com", "http://a.com/"},
        {"http://a.com?q=1", "http://a.com/?q=1"},
        {"http://a.com#top", "http://a.com/"},
        {"http://a.com/p?q=1#frag?x", "http://a.com/p?q=1"},
        {"http://a.com/p#", "http://a.com/p"},
        {"http://a.com/?q=A+B&r=%20", "http://a.com/?q=A+B&r=%20"},
        // No scheme.
        {"WWW.Example.com/Page#x", "WWW.Example.com/Page"},
        {"/relative/Path?x#y", "/relative/Path?x"},
        {"mailto:Someone@Example.com", "mailto:Someone@Example.com"},
        {"/go?to=HTTP://A.com", "/go?to=HTTP://A.com"},
        {"1http://A.com", "1http://A.com"},
        {"://A.com/", "://A.com/"},
        {"a b://A.com/", "a b://A.com/"},
        {"#only", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AddressKey::Normalise(c.address), c.key) << c.address;
    }
}
