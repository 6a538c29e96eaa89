#include "platform/UiDispatcher.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

namespace {

// Lives as long as the process: work queued for it must always find it alive.
QObject* g_context = nullptr;

} // namespace

void UiDispatcher::Init() {
    if (g_context == nullptr) {
        g_context = new QObject();
    }
}

QObject* UiDispatcher::Context() {
    return g_context;
}

bool UiDispatcher::OnUiThread() {
    return g_context != nullptr && QThread::currentThread() == g_context->thread();
}

void UiDispatcher::InvokeBlocking(std::function<void()> work) {
    if (OnUiThread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(Context(), std::move(work), Qt::BlockingQueuedConnection);
}

void UiDispatcher::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(Context(), std::move(work), Qt::QueuedConnection);
}
