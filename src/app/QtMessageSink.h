#pragma once

#include "platform/MessageSink.h"

class QWidget;

// Message boxes of the window: a modal box over the parent with the caption, the text and an
// OK button. The icon follows the caption: an exclamation mark for "Warning", the information
// sign for "Information", the error sign for the program's own caption (internal failures).
class QtMessageSink : public MessageSink {
  public:
    explicit QtMessageSink(QWidget* parent = nullptr);

    void SetParent(QWidget* parent);
    void showMessage(std::string_view caption, std::string_view text) override;

  private:
    QWidget* m_parent;
};
