#pragma once

#include <string_view>

// What link validation found out about a result row's address; the value is the row's state
// icon.
enum class LinkState : int {
    NotChecked = 0, // not validated since the row was listed
    Valid = 1,      // answered with a status code from 200 to 299
    Invalid = 2,    // answered with a status code from 400 to 499
    Unknown = 3     // any other status code, no status code, or a failed exchange
};

// The state a HEAD answer gives, from its raw bytes (status line first). The status code is the
// three bytes after the first space, read as a decimal number, and counts only when the answer
// begins with "HTTP/" and that space lies within its first 10 bytes; without such a code, and
// for an empty answer, the state is Unknown. Redirections are not followed: 3xx is Unknown.
// Pure: looks at nothing but its argument.
LinkState ClassifyLinkResponse(std::string_view response);
