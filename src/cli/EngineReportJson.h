#pragma once

#include <string>

class EngineAccount;

// The engine report as JSON: an array with one object per engine, in the order the search
// met them, with the keys name, pages_requested, pages_answered, status_line, bytes,
// first_byte_ms, total_ms, results_parsed, results_accepted, duplicates, error, error_page,
// parsed_nothing and blocked (plus state, the state in words). Times not reached are null.
class EngineReportJson {
  public:
    static std::string Json(const EngineAccount& account);
    // A JSON string literal of text. Bytes that are not UTF-8 are read as Latin-1, so the
    // result is always valid JSON whatever a server sent.
    static std::string Quote(const std::string& text);
};
