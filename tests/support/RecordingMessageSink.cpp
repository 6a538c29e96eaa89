#include "support/RecordingMessageSink.h"

void RecordingMessageSink::showMessage(std::string_view caption, std::string_view text) {
    messages.push_back({std::string(caption), std::string(text)});
}
