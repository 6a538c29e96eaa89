#include "cli/CommandLine.h"

CommandLine::CommandLine(std::set<std::string> valued, std::set<std::string> switches)
    : m_valued(std::move(valued)), m_switches(std::move(switches)) {
}

bool CommandLine::Parse(const std::vector<std::string>& words) {
    bool onlyArguments = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (onlyArguments || word.size() < 2 || word.compare(0, 2, "--") != 0) {
            m_arguments.push_back(word);
            continue;
        }
        if (word == "--") {
            onlyArguments = true;
            continue;
        }
        std::string name = word;
        std::string value;
        bool hasInlineValue = false;
        const std::size_t equals = word.find('=');
        if (equals != std::string::npos) {
            name = word.substr(0, equals);
            value = word.substr(equals + 1);
            hasInlineValue = true;
        }
        if (m_switches.count(name) != 0 && !hasInlineValue) {
            m_present.insert(name);
            continue;
        }
        if (m_valued.count(name) == 0) {
            m_error = "unknown option " + name;
            return false;
        }
        if (!hasInlineValue) {
            if (i + 1 >= words.size()) {
                m_error = "option " + name + " needs a value";
                return false;
            }
            value = words[++i];
        }
        m_present.insert(name);
        m_values[name] = value;
        m_allValues.emplace_back(name, value);
    }
    return true;
}

bool CommandLine::Has(const std::string& option) const {
    return m_present.count(option) != 0;
}

std::string CommandLine::Value(const std::string& option, const std::string& fallback) const {
    const auto found = m_values.find(option);
    return found == m_values.end() ? fallback : found->second;
}

std::vector<std::string> CommandLine::Values(const std::string& option) const {
    std::vector<std::string> values;
    for (const auto& [name, value] : m_allValues) {
        if (name == option) {
            values.push_back(value);
        }
    }
    return values;
}

const std::vector<std::string>& CommandLine::Arguments() const {
    return m_arguments;
}

const std::string& CommandLine::Error() const {
    return m_error;
}
