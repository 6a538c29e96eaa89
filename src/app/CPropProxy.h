#pragma once

#include "app/OptionsPage.h"
#include "settings/OptionsStore.h"

class QLineEdit;
class QRadioButton;

// The Proxy page: a direct connection, or a proxy server with its port.
class CPropProxy : public OptionsPage {
  public:
    static constexpr unsigned kPortLowest = 1;
    static constexpr unsigned kPortHighest = 65535;
    static constexpr const char* kTitle = "Proxy";

    explicit CPropProxy(OptionsStore options, QWidget* parent = nullptr);

    std::string CheckFields() override;
    bool Save() override;

    QRadioButton& DirectButton();
    QRadioButton& ProxyButton();
    QLineEdit& ServerEdit();
    QLineEdit& PortEdit();

  protected:
    void Load() override;

  private:
    OptionsStore m_options;
    void SetUseProxy(bool useProxy);

    QRadioButton* m_direct;
    QRadioButton* m_proxy;
    QLineEdit* m_server;
    QLineEdit* m_port;
    bool m_useProxy = false;
    // The port checked by CheckFields, written by Save.
    unsigned m_portValue = 0;
};
