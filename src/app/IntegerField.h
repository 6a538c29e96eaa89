#pragma once

#include <QWidget>

#include <string>

class QLineEdit;
class QSpinBox;

// A number typed into an edit, with an up-down beside it that steps the number with the mouse
// or the arrow keys. The up-down sets no range: whatever is typed is checked when the dialog
// closes, so an out-of-range number gets its message then rather than being silently clamped.
class IntegerField : public QWidget {
  public:
    explicit IntegerField(QWidget* parent = nullptr);

    void SetValue(int value);
    // The edit's text.
    QString Text() const;
    QLineEdit& Edit();
    // Checks the text against lowest..highest; the message to show, or empty with value set.
    std::string Check(int lowest, int highest, int& value) const;

  private:
    QSpinBox* m_spin;
};
