#pragma once

class ConnectionState;
class DdeBridge;
class FileDialogRunner;
class MessageSink;
class OptionsStore;
class ProcessLauncher;
class ShellOpen;

// What the main window uses of the world outside it. The program passes the real ones; tests
// pass fakes that record and answer.
struct FrameServices {
    // The program folder's settings, whose folder also holds the engines and the history.
    const OptionsStore& options;
    MessageSink& messages;
    const ConnectionState& connection;
    DdeBridge& dde;
    ProcessLauncher& processes;
    ShellOpen& desktop;
    FileDialogRunner& dialogs;
};
