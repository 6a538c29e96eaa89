#pragma once

class ConnectionState;
class DdeBridge;
class FileDialogRunner;
class MessageSink;
class ProcessLauncher;
class ShellOpen;

// What the main window uses of the world outside it. The program passes the real ones; tests
// pass fakes that record and answer.
struct FrameServices {
    MessageSink& messages;
    const ConnectionState& connection;
    DdeBridge& dde;
    ProcessLauncher& processes;
    ShellOpen& desktop;
    FileDialogRunner& dialogs;
};
