#include "app/OptionsPage.h"

OptionsPage::OptionsPage(QWidget* parent) : QWidget(parent) {
}

std::string OptionsPage::RangeMessage(long long lowest, long long highest) {
    return "Please enter an integer between " + std::to_string(lowest) + " and " +
           std::to_string(highest) + ".";
}

void OptionsPage::Initialize() {
    if (m_initialized) {
        return;
    }
    m_initialized = true;
    Load();
}

bool OptionsPage::IsInitialized() const {
    return m_initialized;
}

std::string OptionsPage::CheckFields() {
    return {};
}
