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
    // Whether an address still looks like a redirect: it goes to a known redirect's host and
    // path and carries the place of its target, or a query parameter holds an http or https
    // address (plain or percent-encoded). A check of an engine reports such result addresses.
    static bool LooksWrapped(std::string_view address);
};
