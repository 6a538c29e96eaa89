#include "search/CHttpSearch.h"

#include "platform/UiDispatcher.h"
#include "search/SearchManager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <climits>
#include <thread>

namespace {

std::atomic<int> g_liveWorkers{0};

// Seconds from the settings as milliseconds, kept within what the socket options take.
int secondsToMilliseconds(int seconds) {
    const long long milliseconds =
        static_cast<long long>(seconds) * CHttpSearch::kMillisecondsPerSecond;
    return static_cast<int>(std::clamp<long long>(milliseconds, 0, INT_MAX));
}

} // namespace

CHttpSearch::CHttpSearch() = default;

CHttpSearch::~CHttpSearch() = default;

void CHttpSearch::Setup(std::shared_ptr<SearchManagerLink> link, int slot, const SearchJob& job,
                        int receiveTimeoutSeconds, int sendTimeoutSeconds, bool cleanAddresses) {
    SetGrammar(job.grammar.view());
    SetEngineName(job.engineName.view());
    SetSiteRoot(SiteRootFromUrl(job.url.view()));
    SetUnwrapAddresses(cleanAddresses);
    SetMethod(job.method);
    SetUrl(job.url.view());
    SetBody(job.body.view());
    SetProxy(job.proxyHost.view(), job.proxyPort.view(), job.useProxy);
    SetReceiveTimeout(secondsToMilliseconds(receiveTimeoutSeconds));
    SetSendTimeout(secondsToMilliseconds(sendTimeoutSeconds));
    // The pieces are parsed as they arrive and nothing reads the whole page afterwards, so
    // none of it is kept: a worker's memory stays the same however long the answer runs.
    SetResponseLimit(0);
    m_tally.Reset();
    m_link = std::move(link);
    m_slot = slot;
    m_stopped = false;
}

void CHttpSearch::Start() {
    ++g_liveWorkers;
    std::thread([self = shared_from_this()] { self->Run(); }).detach();
}

void CHttpSearch::Run() {
    Execute();
    if (!m_stopped) {
        // The slot is refilled later, on the user-interface thread, after this thread is gone.
        std::shared_ptr<CHttpSearch> self = shared_from_this();
        UiDispatcher::Post([self] {
            SearchManager* manager = self->m_link->manager;
            if (!self->m_stopped && manager != nullptr) {
                manager->OnWorkerEnded(*self);
            }
        });
    }
    --g_liveWorkers;
}

void CHttpSearch::Stop() {
    StopAccepting();
    m_stopped = true;
    Cancel();
}

bool CHttpSearch::IsStopped() const {
    return m_stopped;
}

int CHttpSearch::Slot() const {
    return m_slot;
}

void CHttpSearch::Notify(int code, int detail) {
    if (m_stopped) {
        return;
    }
    std::shared_ptr<CHttpSearch> self = shared_from_this();
    UiDispatcher::InvokeBlocking([self, code, detail] {
        SearchManager* manager = self->m_link->manager;
        if (!self->m_stopped && manager != nullptr) {
            manager->OnWorkerNotice(*self, code, detail);
        }
    });
}

void CHttpSearch::OnData(const char* piece, std::size_t size) {
    if (m_stopped) {
        return;
    }
    // The extractor's input is filled here and emptied by the manager's parse while this
    // thread waits, so the two never use it at once.
    AppendInput(piece, size);
    m_tally.Take(piece, size);
    std::shared_ptr<CHttpSearch> self = shared_from_this();
    UiDispatcher::InvokeBlocking([self] {
        SearchManager* manager = self->m_link->manager;
        if (!self->m_stopped && manager != nullptr) {
            manager->OnPageData(*self);
        }
    });
}

const PageTally& CHttpSearch::Tally() const {
    return m_tally;
}

int CHttpSearch::LiveCount() {
    return g_liveWorkers;
}

bool CHttpSearch::WaitForAllEnded(int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (g_liveWorkers > 0 && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    // Deliver what the last workers queued, so their objects are released.
    QCoreApplication::processEvents();
    return g_liveWorkers == 0;
}
