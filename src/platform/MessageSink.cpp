#include "platform/MessageSink.h"

MessageSink::~MessageSink() = default;
