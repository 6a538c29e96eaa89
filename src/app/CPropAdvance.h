#pragma once

#include "app/OptionsPage.h"
#include "settings/OptionsStore.h"

#include <array>

class IntegerField;
class QCheckBox;
class QLabel;
class QSlider;

// The Advance page: simultaneous transfers and the three time-outs in seconds.
class CPropAdvance : public OptionsPage {
  public:
    static constexpr const char* kTitle = "Advance";
    static constexpr int kMaxEngineLowest = 1;
    static constexpr int kMaxEngineHighest = 10;
    static constexpr int kTimeoutLowest = 10;
    static constexpr int kTimeoutHighest = 300;
    static constexpr int kTimeoutPageStep = 15;
    // The sliders in page order.
    enum Timeout { SendTimeout, ReceiveTimeout, SearchTimeout, TimeoutCount };

    explicit CPropAdvance(OptionsStore options, QWidget* parent = nullptr);

    std::string CheckFields() override;
    bool Save() override;

    IntegerField& MaxEngineField();
    QCheckBox& CleanAddressesBox();
    QSlider& Slider(Timeout timeout);
    QLabel& ValueText(Timeout timeout);

  protected:
    void Load() override;

  private:
    OptionsStore m_options;
    void ShowValue(Timeout timeout);

    IntegerField* m_maxEngine;
    QCheckBox* m_cleanAddresses;
    std::array<QSlider*, TimeoutCount> m_sliders{};
    std::array<QLabel*, TimeoutCount> m_values{};
    // The number checked by CheckFields, written by Save.
    int m_maxEngineValue = 0;
};
