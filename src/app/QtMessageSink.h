#pragma once

#include "platform/MessageSink.h"

#include <QMessageBox>

class QWidget;

// Message boxes of the window: a modal box over the parent with the caption, the text and an
// OK button, and the icon that the caption's kind of message calls for.
class QtMessageSink : public MessageSink {
  public:
    explicit QtMessageSink(QWidget* parent = nullptr);

    // An exclamation mark for "Warning"; the information sign for "Information" and for the
    // notices that come without a caption (such as Find's "Complete searching for key words");
    // the error sign for the program's own caption (internal failures) and any other caption.
    static QMessageBox::Icon IconFor(std::string_view caption);

    void SetParent(QWidget* parent);
    // Without a person to answer (a --screenshot run), a message becomes one line on stderr,
    // "CAPTION: TEXT", instead of a modal box that would wait for ever.
    void SetToStandardError(bool toStandardError);
    void showMessage(std::string_view caption, std::string_view text) override;

  private:
    QWidget* m_parent;
    bool m_toStandardError = false;
};
