#pragma once

#include <string_view>

// The conversation with a running browser that Windows programs hold over DDE: connect to a
// service (the browser's name) on a topic, send one text request with a time-out, and let go.
//
// Linux desktops have no DDE, and no browser serves the topic. The process default is
// available once initialised (so browser launching goes on to start the browser itself) but
// never connects: every Connect fails, as when no browser answers on Windows. Tests install a
// fake that answers and records what would have been sent.
class DdeBridge {
  public:
    virtual ~DdeBridge();

    // Makes DDE available to the process, as a client only. False when it could not be.
    virtual bool Initialize() = 0;
    // Ends DDE for the process; Connect is not tried afterwards.
    virtual void Uninitialize() = 0;
    virtual bool IsAvailable() const = 0;
    // Opens a conversation with service (empty: any server of the topic) on topic. False when
    // no server answered.
    virtual bool Connect(std::string_view service, std::string_view topic) = 0;
    // Sends item as a plain-text request on the open conversation, waiting at most timeoutMs
    // for the answer (which is ignored), and ends the conversation.
    virtual void Request(std::string_view item, int timeoutMs) = 0;

    // The bridge of the process. Installing nullptr restores the Linux default. The installed
    // bridge must outlive its installation.
    static void setProcessDefault(DdeBridge* bridge);
    static DdeBridge& processDefault();
};
