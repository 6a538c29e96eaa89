#include "model/EngineDefinition.h"

#include <algorithm>
#include <cctype>

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    return std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

bool EngineDefinition::setField(std::string_view key, std::string_view value) {
    if (key == "category") {
        category.set(value);
    } else if (key == "enable") {
        enable.set(value);
    } else if (key == "grm") {
        grm.set(value);
    } else if (key == "language") {
        language.set(value);
    } else if (key == "method") {
        method.set(value);
    } else if (key == "name") {
        name.set(value);
    } else if (key == "opt") {
        opt.set(value);
    } else if (key == "path") {
        path.set(value);
    } else if (key == "URLcode") {
        URLcode.set(value);
    } else if (key == "trunpage") {
        trunpage.set(value);
    } else if (key == "website") {
        website.set(value);
    } else {
        return false;
    }
    return true;
}

std::string_view EngineDefinition::field(std::string_view key) const {
    if (key == "category") {
        return category.view();
    }
    if (key == "enable") {
        return enable.view();
    }
    if (key == "grm") {
        return grm.view();
    }
    if (key == "language") {
        return language.view();
    }
    if (key == "method") {
        return method.view();
    }
    if (key == "name") {
        return name.view();
    }
    if (key == "opt") {
        return opt.view();
    }
    if (key == "path") {
        return path.view();
    }
    if (key == "URLcode") {
        return URLcode.view();
    }
    if (key == "trunpage") {
        return trunpage.view();
    }
    if (key == "website") {
        return website.view();
    }
    return {};
}

bool EngineDefinition::isEnabled() const {
    return !equalsIgnoringCase(enable.view(), "false");
}

bool EngineDefinition::isCheckedOn() const {
    return equalsIgnoringCase(enable.view(), "TRUE");
}
