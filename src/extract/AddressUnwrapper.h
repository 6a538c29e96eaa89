#pragma once

#include <string>
#include <string_view>

// Search engines often link their results through a redirect of their own (a click counter
// that forwards to the result). This turns such an address back into the result's address, so
// that the list shows, opens and compares the page itself. The known redirects are rows of a
// table in the source; the code that reads them is the same for all.
class AddressUnwrapper {
  public:
    // The target of a known redirect when it decodes to an absolute http or https address;
    // any other address, and a redirect whose target is missing, malformed or of another kind,
    // comes back unchanged.
    static std::string Unwrap(std::string_view address);
};
