#pragma once

#include <QWidget>

#include <string>

// One page of the Options sheet. A page loads its settings the first time it is shown and
// writes them back only when the sheet closes with OK, so pages never looked at leave their
// settings alone.
class OptionsPage : public QWidget {
  public:
    // The message of a field out of range, as the dialog framework words it.
    static std::string RangeMessage(long long lowest, long long highest);
    // The message of a field that holds no whole number.
    static constexpr const char* kNotAnIntegerMessage = "Please enter an integer.";
    static constexpr const char* kNotAPositiveIntegerMessage = "Please enter a positive integer.";

    explicit OptionsPage(QWidget* parent = nullptr);

    // Loads the page's settings into its controls, once, when the page is first shown.
    void Initialize();
    bool IsInitialized() const;

    // Checks the fields; the message of the first field that breaks its rule, or empty. The
    // failing field gets the focus.
    virtual std::string CheckFields();
    // Writes the page's settings.
    // Writes the page's values; false when something could not be written.
    virtual bool Save() = 0;

  protected:
    virtual void Load() = 0;

  private:
    bool m_initialized = false;
};
