#pragma once

#include <string>
#include <string_view>

// The key under which two result addresses count as the same page.
class AddressKey {
  public:
    // Lower-cases the scheme and the host, drops the default port of http (80) and https
    // (443), writes an empty path as "/" and drops the fragment; the user part, the path and
    // the query stay as they are. An address without "scheme://" only loses its fragment.
    static std::string Normalise(std::string_view address);
};
