#include "results/CURLCheck.h"

#include "platform/UiDispatcher.h"
#include "results/LinkCheckManager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <thread>

namespace {

std::atomic<int> g_liveCheckers{0};

// How long one turn of WaitForAllEnded processes events.
constexpr int kWaitSliceMs = 10;
constexpr unsigned long kWaitPauseMs = 1;
// The classification reads only the status line; a server that sends a body with its HEAD
// answer, however long, costs no more than this.
constexpr std::size_t kKeptAnswerBytes = 256;

} // namespace

CURLCheck::CURLCheck() = default;

CURLCheck::~CURLCheck() = default;

void CURLCheck::Setup(std::shared_ptr<LinkCheckLink> link, int slot) {
    m_link = std::move(link);
    m_slot = slot;
    m_stopped = false;
}

void CURLCheck::SetRequest(std::string_view address, int32_t row) {
    SetMethod(kMethodHead);
    SetUrl(address);
    SetResponseLimit(kKeptAnswerBytes);
    m_row = row;
}

void CURLCheck::Start() {
    ++g_liveCheckers;
    std::thread([self = shared_from_this()] { self->Run(); }).detach();
}

void CURLCheck::Run() {
    Execute();
    if (!m_stopped) {
        // Sent and waited for: the manager refills the slot on the user-interface thread
        // before this thread ends.
        std::shared_ptr<CURLCheck> self = shared_from_this();
        UiDispatcher::InvokeBlocking([self] {
            LinkCheckManager* manager = self->m_link->manager;
            if (!self->m_stopped && manager != nullptr) {
                manager->OnCheckerEnded(*self);
            }
        });
    }
    --g_liveCheckers;
}

void CURLCheck::Stop() {
    m_stopped = true;
    Cancel();
}

bool CURLCheck::IsStopped() const {
    return m_stopped;
}

int CURLCheck::Slot() const {
    return m_slot;
}

int32_t CURLCheck::Row() const {
    return m_row;
}

void CURLCheck::OnError() {
    ReleaseResponse();
    SendRowState(LinkState::Unknown);
}

void CURLCheck::OnComplete() {
    const LinkState state = ClassifyLinkResponse(Response());
    SendRowState(state);
    ReleaseResponse();
}

void CURLCheck::SendRowState(LinkState state) {
    if (m_stopped) {
        return;
    }
    std::shared_ptr<CURLCheck> self = shared_from_this();
    UiDispatcher::InvokeBlocking([self, state] {
        LinkCheckManager* manager = self->m_link->manager;
        if (!self->m_stopped && manager != nullptr) {
            manager->OnRowState(*self, state);
        }
    });
}

int CURLCheck::LiveCount() {
    return g_liveCheckers;
}

bool CURLCheck::WaitForAllEnded(int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (g_liveCheckers > 0 && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, kWaitSliceMs);
        QThread::msleep(kWaitPauseMs);
    }
    // Deliver what the last checkers queued, so their objects are released.
    QCoreApplication::processEvents();
    return g_liveCheckers == 0;
}
