#include "support/RecordingDdeBridge.h"

bool RecordingDdeBridge::Initialize() {
    available = true;
    return true;
}

void RecordingDdeBridge::Uninitialize() {
    available = false;
}

bool RecordingDdeBridge::IsAvailable() const {
    return available;
}

bool RecordingDdeBridge::Connect(std::string_view service, std::string_view topic) {
    Conversation conversation;
    conversation.service = service;
    conversation.topic = topic;
    conversations.push_back(conversation);
    return answers;
}

void RecordingDdeBridge::Request(std::string_view item, int timeoutMs) {
    if (conversations.empty()) {
        return;
    }
    conversations.back().item = item;
    conversations.back().timeoutMs = timeoutMs;
}
