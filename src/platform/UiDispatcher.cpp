#include "platform/UiDispatcher.h"

#include <QSocketNotifier>
#include <QThread>

#include <chrono>
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

// One pass of the event loop runs the work queued when it began, and stops early once it has
// run this long, so that input, painting and timers get their turn between the pieces that
// busy workers keep handing over.
constexpr std::chrono::milliseconds kPassBudget{20};

void wake(Dispatcher& dispatcher) {
    const uint64_t one = 1;
    // A full counter still wakes the loop, so a failed write loses nothing.
    const ssize_t written = ::write(dispatcher.wakeFd, &one, sizeof one);
    (void)written;
}

// Runs one task: its work, then the release of a sender that waits for it.
void runTask(Dispatcher& dispatcher, Task& task) {
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

// Takes the next queued task; false when the queue is empty.
bool takeTask(Dispatcher& dispatcher, Task& task) {
    std::lock_guard<std::mutex> lock(dispatcher.mutex);
    if (dispatcher.queue.empty()) {
        return false;
    }
    task = std::move(dispatcher.queue.front());
    dispatcher.queue.pop_front();
    return true;
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
        RunOnePass();
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
    Task task;
    while (takeTask(dispatcher, task)) {
        runTask(dispatcher, task);
    }
}

void UiDispatcher::RunOnePass() {
    Dispatcher& dispatcher = *g_dispatcher;
    std::size_t waiting = 0;
    {
        std::lock_guard<std::mutex> lock(dispatcher.mutex);
        waiting = dispatcher.queue.size();
    }
    const auto start = std::chrono::steady_clock::now();
    Task task;
    for (std::size_t run = 0; run < waiting; ++run) {
        if (std::chrono::steady_clock::now() - start >= kPassBudget) {
            // The rest waits for the next pass, after the other events.
            wake(dispatcher);
            return;
        }
        if (!takeTask(dispatcher, task)) {
            return;
        }
        runTask(dispatcher, task);
    }
}
