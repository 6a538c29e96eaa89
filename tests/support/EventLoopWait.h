#pragma once

#include <functional>

// Runs the user-interface thread's event loop until condition holds or timeoutMs passes.
// Returns whether the condition held.
bool runEventsUntil(const std::function<bool()>& condition, int timeoutMs);
// Runs the event loop for the given time.
void runEventsFor(int milliseconds);
