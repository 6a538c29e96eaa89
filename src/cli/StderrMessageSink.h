#pragma once

#include "platform/MessageSink.h"

// Prints each message box as one line on stderr: "caption: text".
class StderrMessageSink : public MessageSink {
  public:
    void showMessage(std::string_view caption, std::string_view text) override;
    int Count() const;

  private:
    int m_count = 0;
};
