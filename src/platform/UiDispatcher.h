#pragma once

#include <functional>

// Runs work on the user-interface thread, the one thread that owns the windows, the search
// manager, its queue and the parsing. A worker hands everything over through it: blocking
// (the worker waits until the work has run, so the two never touch the same state at once) or
// posted (the worker goes on).
//
// The work travels through a queue of our own under a standard mutex, and only a wake-up byte
// goes through the event loop (an eventfd watched by a socket notifier), so no object crosses
// threads through Qt's internals and every hand-over is visible to the thread sanitizer.
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
    // Runs every queued work now, including work queued meanwhile; a thread that waits may
    // call it.
    static void RunQueued();
    // What the event loop runs when work is queued: the work queued at that moment, for at
    // most a short time, so that input, painting and timers run between the hand-overs of busy
    // workers. Work left over, and work queued meanwhile, runs in the next pass.
    static void RunOnePass();
};
