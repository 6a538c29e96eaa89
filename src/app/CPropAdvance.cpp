#include "app/CPropAdvance.h"

#include "app/IntegerField.h"
#include "settings/OptionsStore.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

namespace {

constexpr std::array<const char*, CPropAdvance::TimeoutCount> kTimeoutLabels = {
    "Send timeout", "Receive timeout", "Search timeout"};
constexpr const char* kSecondsSuffix = " Seconds";
constexpr int kLabelColumn = 0;
constexpr int kShortColumn = 1;
constexpr int kSliderColumn = 2;
constexpr int kLongColumn = 3;
constexpr int kValueColumn = 4;

} // namespace

CPropAdvance::CPropAdvance(OptionsStore options, QWidget* parent)
    : OptionsPage(parent), m_options(std::move(options)), m_maxEngine(new IntegerField),
      m_cleanAddresses(new QCheckBox) {
    auto* layout = new QVBoxLayout(this);
    auto* speed = new QGroupBox(QStringLiteral("Speed"));
    auto* speedLayout = new QHBoxLayout(speed);
    auto* speedLabel = new QLabel(QStringLiteral("Simultaneous transfers:"));
    speedLabel->setBuddy(m_maxEngine);
    speedLayout->addWidget(speedLabel);
    speedLayout->addWidget(m_maxEngine);
    speedLayout->addStretch();
    layout->addWidget(speed);

    auto* timeouts = new QGroupBox(QStringLiteral("Timeouts"));
    auto* grid = new QGridLayout(timeouts);
    for (int index = 0; index < TimeoutCount; ++index) {
        const auto timeout = static_cast<Timeout>(index);
        m_sliders[index] = new QSlider(Qt::Horizontal);
        m_values[index] = new QLabel;
        auto* label = new QLabel(QString::fromLatin1(kTimeoutLabels[index]));
        label->setBuddy(m_sliders[index]);
        grid->addWidget(label, index, kLabelColumn);
        grid->addWidget(new QLabel(QStringLiteral("Short")), index, kShortColumn);
        grid->addWidget(m_sliders[index], index, kSliderColumn);
        grid->addWidget(new QLabel(QStringLiteral("Long")), index, kLongColumn);
        grid->addWidget(m_values[index], index, kValueColumn);
        connect(m_sliders[index], &QSlider::valueChanged, this,
                [this, timeout] { ShowValue(timeout); });
    }
    grid->setColumnStretch(kSliderColumn, 1);
    layout->addWidget(timeouts);

    auto* addresses = new QGroupBox(QStringLiteral("Addresses"));
    auto* addressesLayout = new QVBoxLayout(addresses);
    m_cleanAddresses->setText(QStringLiteral("&Clean redirect addresses of search engines"));
    m_cleanAddresses->setToolTip(QStringLiteral(
        "List, open and compare the result pages themselves instead of the engines' click "
        "counters"));
    m_cleanAddresses->setAccessibleDescription(m_cleanAddresses->toolTip());
    addressesLayout->addWidget(m_cleanAddresses);
    layout->addWidget(addresses);
    layout->addStretch();
}

void CPropAdvance::Load() {
    const OptionsStore& options = m_options;
    for (QSlider* slider : m_sliders) {
        slider->setRange(kTimeoutLowest, kTimeoutHighest);
        slider->setPageStep(kTimeoutPageStep);
    }
    m_maxEngine->SetValue(options.GetMaxEngine());
    // A stored time-out outside the range shows at the nearest end, and OK writes that end.
    m_sliders[ReceiveTimeout]->setValue(options.GetRecvTimeout());
    m_sliders[SendTimeout]->setValue(options.GetSendTimeout());
    m_sliders[SearchTimeout]->setValue(options.GetSearchTimeout());
    m_cleanAddresses->setChecked(options.GetCleanAddresses());
    for (int index = 0; index < TimeoutCount; ++index) {
        ShowValue(static_cast<Timeout>(index));
    }
}

void CPropAdvance::ShowValue(Timeout timeout) {
    m_values[timeout]->setText(QString::number(m_sliders[timeout]->value()) +
                               QString::fromLatin1(kSecondsSuffix));
}

std::string CPropAdvance::CheckFields() {
    return m_maxEngine->Check(kMaxEngineLowest, kMaxEngineHighest, m_maxEngineValue);
}

bool CPropAdvance::Save() {
    OptionsStore options = m_options;
    bool written = options.SetMaxEngine(m_maxEngineValue);
    written = options.SetRecvTimeout(m_sliders[ReceiveTimeout]->value()) && written;
    written = options.SetSendTimeout(m_sliders[SendTimeout]->value()) && written;
    written = options.SetSearchTimeout(m_sliders[SearchTimeout]->value()) && written;
    written = options.SetCleanAddresses(m_cleanAddresses->isChecked()) && written;
    return written;
}

IntegerField& CPropAdvance::MaxEngineField() {
    return *m_maxEngine;
}

QCheckBox& CPropAdvance::CleanAddressesBox() {
    return *m_cleanAddresses;
}

QSlider& CPropAdvance::Slider(Timeout timeout) {
    return *m_sliders[timeout];
}

QLabel& CPropAdvance::ValueText(Timeout timeout) {
    return *m_values[timeout];
}
