#pragma once

#include <string>

class EngineAccount;

// The engine report as a plain text table for a terminal: a header line and one line per
// engine, columns padded with blanks.
class EngineReportTable {
  public:
    static std::string Table(const EngineAccount& account);
};
