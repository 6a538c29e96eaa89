#pragma once

#include "platform/MessageSink.h"

#include <string>
#include <vector>

// Keeps every message box the code under test would have shown.
class RecordingMessageSink : public MessageSink {
  public:
    struct Message {
        std::string caption;
        std::string text;
    };

    void showMessage(std::string_view caption, std::string_view text) override;

    std::vector<Message> messages;
};
