#include "platform/MessageSink.h"

#include <atomic>

namespace {

// Drops every message: the process default until a front end installs its own.
class DiscardingMessageSink : public MessageSink {
  public:
    void showMessage(std::string_view, std::string_view) override {
    }
};

std::atomic<MessageSink*> g_processDefault{nullptr};

} // namespace

MessageSink::~MessageSink() = default;

void MessageSink::setProcessDefault(MessageSink* sink) {
    g_processDefault.store(sink);
}

MessageSink& MessageSink::processDefault() {
    MessageSink* sink = g_processDefault.load();
    if (sink == nullptr) {
        static DiscardingMessageSink discarding;
        return discarding;
    }
    return *sink;
}
