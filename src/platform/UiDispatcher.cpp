#include "platform/UiDispatcher.h"

#include <QSocketNotifier>
#include <QThread>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

// One piece of work, and for a blocking hand-over the flag its sender waits on.
struct Task {
    std::function<void()> work;
    std::shared_ptr<bool> done;
};

// Lives as long as the process: work queued for it must always find it alive.
struct Dispatcher {
    std::mutex mutex;
    std::condition_variable finished;
    std::deque<Task> queue;
    int wakeFd = -1;
    QThread* thread = nullptr;
    QSocketNotifier* notifier = nullptr;
};

Dispatcher* g_dispatcher = nullptr;

void wake(Dispatcher& dispatcher) {
    const uint64_t one = 1;
    // A full counter still wakes the loop, so a failed write loses nothing.
    const ssize_t written = ::write(dispatcher.wakeFd, &one, sizeof one);
    (void)written;
}

void enqueue(Task task) {
    Dispatcher& dispatcher = *g_dispatcher;
    {
        std::lock_guard<std::mutex> lock(dispatcher.mutex);
        dispatcher.queue.push_back(std::move(task));
    }
    wake(dispatcher);
}

} // namespace

void UiDispatcher::Init() {
    if (g_dispatcher != nullptr) {
        return;
    }
    g_dispatcher = new Dispatcher();
    g_dispatcher->wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    g_dispatcher->thread = QThread::currentThread();
    g_dispatcher->notifier = new QSocketNotifier(g_dispatcher->wakeFd, QSocketNotifier::Read);
    QObject::connect(g_dispatcher->notifier, &QSocketNotifier::activated, [] {
        uint64_t count = 0;
        const ssize_t read = ::read(g_dispatcher->wakeFd, &count, sizeof count);
        (void)read;
        RunQueued();
    });
}

bool UiDispatcher::OnUiThread() {
    return g_dispatcher != nullptr && QThread::currentThread() == g_dispatcher->thread;
}

void UiDispatcher::InvokeBlocking(std::function<void()> work) {
    if (OnUiThread()) {
        work();
        return;
    }
    auto done = std::make_shared<bool>(false);
    enqueue(Task{std::move(work), done});
    Dispatcher& dispatcher = *g_dispatcher;
    std::unique_lock<std::mutex> lock(dispatcher.mutex);
    dispatcher.finished.wait(lock, [&done] { return *done; });
}

void UiDispatcher::Post(std::function<void()> work) {
    enqueue(Task{std::move(work), nullptr});
}

void UiDispatcher::RunQueued() {
    Dispatcher& dispatcher = *g_dispatcher;
    for (;;) {
        Task task;
        {
            std::lock_guard<std::mutex> lock(dispatcher.mutex);
            if (dispatcher.queue.empty()) {
                return;
            }
            task = std::move(dispatcher.queue.front());
            dispatcher.queue.pop_front();
        }
        task.work();
        // Release what the work captured before its sender goes on.
        task.work = nullptr;
        if (task.done != nullptr) {
            {
                std::lock_guard<std::mutex> lock(dispatcher.mutex);
                *task.done = true;
            }
            dispatcher.finished.notify_all();
        }
    }
}
