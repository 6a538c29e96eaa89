#pragma once

#include "platform/DdeBridge.h"

#include <string>
#include <vector>

// A DDE bridge that answers (or not, as told) and keeps every conversation it was asked for.
class RecordingDdeBridge : public DdeBridge {
  public:
    struct Conversation {
        std::string service;
        std::string topic;
        std::string item; // empty until a request was sent
        int timeoutMs = 0;
    };

    bool Initialize() override;
    void Uninitialize() override;
    bool IsAvailable() const override;
    bool Connect(std::string_view service, std::string_view topic) override;
    void Request(std::string_view item, int timeoutMs) override;

    bool available = true;
    // Whether a server answers Connect.
    bool answers = true;
    std::vector<Conversation> conversations;
};
