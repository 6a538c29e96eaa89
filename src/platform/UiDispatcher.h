#pragma once

#include <functional>

class QObject;

// Runs work on the user-interface thread, the one thread that owns the windows, the search
// manager, its queue and the parsing. A worker hands everything over through it: blocking
// (the worker waits until the work has run, so the two never touch the same state at once) or
// posted (the worker goes on).
class UiDispatcher {
  public:
    // Binds the dispatcher to the calling thread, which must run a Qt event loop. Call once,
    // on the user-interface thread, after the application object exists.
    static void Init();
    // Runs work on the user-interface thread and waits until it has run. Called on that thread
    // itself, runs it at once.
    static void InvokeBlocking(std::function<void()> work);
    // Queues work for the user-interface thread and returns at once.
    static void Post(std::function<void()> work);
    static bool OnUiThread();

  private:
    static QObject* Context();
};
