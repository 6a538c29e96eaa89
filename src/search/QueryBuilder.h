#pragma once

#include <string>
#include <string_view>

// Turns a keyword and an engine definition into the request to make.
class QueryBuilder {
  public:
    // An engine file cannot hold colons or line breaks in its grammar, so it writes them as
    // "$COLON$", "$CRLF$", "$CR$" and "$LF$"; this turns them back, in that order.
    static std::string ExpandGrammar(std::string_view grm);

  private:
    static void ReplaceAll(std::string& text, std::string_view find, std::string_view replace);
};
