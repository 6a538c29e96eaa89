#include "support/EventLoopWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace {

constexpr int kSliceMs = 5;

} // namespace

bool runEventsUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() >= timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, kSliceMs);
        QThread::msleep(1);
    }
    return true;
}

void runEventsFor(int milliseconds) {
    runEventsUntil([] { return false; }, milliseconds);
}
