#pragma once

#include <string_view>

// Where the core's message boxes go. The GUI shows a modal box; the headless front end prints
// one line to stderr. The texts and captions are the program's own and are passed on unchanged.
class MessageSink {
  public:
    // The application's own caption, used for internal failures.
    static constexpr std::string_view kAppCaption = "Vantorell 2001";
    // Caption of refused or failed user actions.
    static constexpr std::string_view kWarningCaption = "Warning";
    // Caption of an operation's outcome.
    static constexpr std::string_view kInformationCaption = "Information";

    virtual ~MessageSink();
    virtual void showMessage(std::string_view caption, std::string_view text) = 0;

    // The sink of code that has no owner to ask, such as the program folder's registry lookup.
    // Each front end installs its own at start-up (nullptr removes it); until then messages to
    // it are dropped. The sink must outlive its installation.
    static void setProcessDefault(MessageSink* sink);
    static MessageSink& processDefault();
};
