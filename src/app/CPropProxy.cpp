#include "app/CPropProxy.h"

#include "settings/OptionsStore.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include <cstdlib>

namespace {

constexpr int kIconSize = 32;
constexpr int kPortWidth = 60;

} // namespace

CPropProxy::CPropProxy(OptionsStore options, QWidget* parent)
    : OptionsPage(parent), m_options(std::move(options)), m_direct(new QRadioButton),
      m_proxy(new QRadioButton), m_server(new QLineEdit), m_port(new QLineEdit) {
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Configuration"));
    auto* groupLayout = new QVBoxLayout(group);
    auto* intro = new QHBoxLayout;
    auto* icon = new QLabel;
    icon->setPixmap(
        QApplication::style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(kIconSize, kIconSize));
    intro->addWidget(icon);
    auto* text = new QLabel(
        QStringLiteral("  For those users who connect to Internet through Proxy, it is needed to "
                       "set up the Proxy property in Vantorell 2001. "));
    text->setWordWrap(true);
    intro->addWidget(text, 1);
    groupLayout->addLayout(intro);
    m_direct->setText(QStringLiteral("I am Connected Directly to The Internet"));
    m_proxy->setText(QStringLiteral("I am Connected Through a Proxy Server"));
    groupLayout->addWidget(m_direct);
    groupLayout->addWidget(m_proxy);
    auto* serverRow = new QHBoxLayout;
    auto* serverLabel = new QLabel(QStringLiteral("Server"));
    serverLabel->setBuddy(m_server);
    serverRow->addWidget(serverLabel);
    serverRow->addWidget(m_server, 1);
    serverRow->addWidget(new QLabel(QStringLiteral(" : ")));
    auto* portLabel = new QLabel(QStringLiteral("Port"));
    portLabel->setBuddy(m_port);
    serverRow->addWidget(portLabel);
    m_port->setFixedWidth(kPortWidth);
    serverRow->addWidget(m_port);
    groupLayout->addLayout(serverRow);
    layout->addWidget(group);
    layout->addStretch();

    connect(m_direct, &QRadioButton::clicked, this, [this] { SetUseProxy(false); });
    connect(m_proxy, &QRadioButton::clicked, this, [this] { SetUseProxy(true); });
}

void CPropProxy::Load() {
    const OptionsStore& options = m_options;
    m_server->setText(QString::fromStdString(options.GetProxyServer()));
    // The stored text counts by its leading digits, as the number field reads it.
    const unsigned long port = std::strtoul(options.GetProxyPort().c_str(), nullptr, 10);
    m_port->setText(QString::number(port));
    const bool useProxy = options.GetUseProxy();
    m_proxy->setChecked(useProxy);
    m_direct->setChecked(!useProxy);
    SetUseProxy(useProxy);
}

void CPropProxy::SetUseProxy(bool useProxy) {
    m_useProxy = useProxy;
    m_server->setEnabled(useProxy);
    m_port->setEnabled(useProxy);
}

std::string CPropProxy::CheckFields() {
    // The port is checked whatever the choice: a direct connection keeps the stored port.
    bool number = false;
    const qulonglong typed = m_port->text().trimmed().toULongLong(&number);
    if (!number) {
        m_port->setFocus();
        return kNotAPositiveIntegerMessage;
    }
    if (typed < kPortLowest || typed > kPortHighest) {
        m_port->setFocus();
        return RangeMessage(kPortLowest, kPortHighest);
    }
    m_portValue = static_cast<unsigned>(typed);
    return {};
}

bool CPropProxy::Save() {
    OptionsStore options = m_options;
    bool written = options.SetUseProxy(m_useProxy);
    written = options.SetProxyServer(m_server->text().toStdString()) && written;
    written = options.SetProxyPort(std::to_string(m_portValue)) && written;
    return written;
}

QRadioButton& CPropProxy::DirectButton() {
    return *m_direct;
}

QRadioButton& CPropProxy::ProxyButton() {
    return *m_proxy;
}

QLineEdit& CPropProxy::ServerEdit() {
    return *m_server;
}

QLineEdit& CPropProxy::PortEdit() {
    return *m_port;
}
