#include "app/IntegerField.h"

#include "app/OptionsPage.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>

#include <limits>

namespace {

constexpr int kFieldWidth = 70;

} // namespace

IntegerField::IntegerField(QWidget* parent) : QWidget(parent), m_spin(new QSpinBox(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_spin);
    // Any whole number may be typed; the owner checks the range at OK.
    m_spin->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    m_spin->setFixedWidth(kFieldWidth);
    m_spin->setKeyboardTracking(true);
}

void IntegerField::SetValue(int value) {
    m_spin->setValue(value);
}

QString IntegerField::Text() const {
    return m_spin->text();
}

QLineEdit& IntegerField::Edit() {
    return *m_spin->findChild<QLineEdit*>();
}

std::string IntegerField::Check(int lowest, int highest, int& value) const {
    bool number = false;
    const long long typed = Text().trimmed().toLongLong(&number);
    if (!number) {
        m_spin->setFocus();
        return OptionsPage::kNotAnIntegerMessage;
    }
    if (typed < lowest || typed > highest) {
        m_spin->setFocus();
        return OptionsPage::RangeMessage(lowest, highest);
    }
    value = static_cast<int>(typed);
    return {};
}
