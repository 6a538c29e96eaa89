#pragma once

#include "app/OptionsPage.h"
#include "settings/OptionsStore.h"

#include <array>

class FileDialogRunner;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The Browser page: which browser opens result addresses, or the path of another one.
class CPropBrowser : public OptionsPage {
  public:
    static constexpr const char* kTitle = "Browser";
    // The longest path of another browser that is kept.
    static constexpr int kBrowserPathMaxLength = 127;
    static constexpr int kChoiceCount = 5;

    CPropBrowser(OptionsStore options, FileDialogRunner& dialogs, QWidget* parent = nullptr);

    bool Save() override;

    // The text of a choice's radio button: what opening an address would run. Choice 1 is the
    // desktop's default browser until a program is registered for it; choices 2, 4 and 5 name
    // their registered program or say there is none; 99 runs the program in the path field.
    static QString ChoiceText(int browser, const OptionsStore& options);

    // The radio buttons in the order Internet Explorer, Netscape, Opera, America Online,
    // other browser.
    QRadioButton& ChoiceButton(int index);
    QLineEdit& PathEdit();
    QPushButton& OpenButton();

  protected:
    void Load() override;

  private:
    OptionsStore m_options;
    void SetOtherEnabled(bool enabled);
    void OnOpen();

    FileDialogRunner& m_dialogs;
    std::array<QRadioButton*, kChoiceCount> m_choices{};
    QLineEdit* m_path;
    QPushButton* m_open;
};
