#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// The words after a verb: "--name value" options, "--flag" switches and plain arguments.
// Parsing checks every word against what the verb accepts, so a mistyped option is an error
// that names it rather than a silent default.
class CommandLine {
  public:
    // valued: options that take a value; switches: options that take none.
    CommandLine(std::set<std::string> valued, std::set<std::string> switches);

    // False on an unknown option or a missing value; error() then says which.
    bool Parse(const std::vector<std::string>& words);

    bool Has(const std::string& option) const;
    // The option's value, or fallback when it was not given.
    std::string Value(const std::string& option, const std::string& fallback = {}) const;
    // Every value of an option that may be given more than once, in the order given.
    std::vector<std::string> Values(const std::string& option) const;
    const std::vector<std::string>& Arguments() const;
    const std::string& Error() const;

  private:
    std::set<std::string> m_valued;
    std::set<std::string> m_switches;
    std::map<std::string, std::string> m_values;
    std::vector<std::pair<std::string, std::string>> m_allValues;
    std::set<std::string> m_present;
    std::vector<std::string> m_arguments;
    std::string m_error;
};
