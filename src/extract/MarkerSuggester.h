#pragma once

#include <string>
#include <string_view>

// Guesses, from a saved answer page, the text a grammar could start each result with: results
// are links to other sites that repeat with the same markup in front of them. The guess is a
// hint for the user who mends an engine file; nothing is written.
class MarkerSuggester {
  public:
    // Links compared; the marker must occur at least this often in the page.
    static constexpr std::size_t kLinksCompared = 3;
    // How many bytes in front of each link are compared.
    static constexpr std::size_t kLookBehind = 40;

    struct Suggestion {
        bool found = false;
        // The text in front of a result's address, ending with the address's opening quote.
        std::string startMarker;
        // The text between the address's closing quote and the title; empty when the links
        // compared differ there.
        std::string afterAddress;
    };

    // ownHost: the engine's host, whose links (navigation, more pages) are not results.
    static Suggestion Suggest(std::string_view page, std::string_view ownHost);
};
