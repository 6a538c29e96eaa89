#include "search/SearchManager.h"

#include "model/EngineCatalog.h"
#include "search/QueryBuilder.h"
#include "search/SearchManagerListener.h"

#include <algorithm>

SearchManager::SearchManager(OptionsStore options)
    : m_options(std::move(options)), m_link(std::make_shared<SearchManagerLink>()) {
    m_link->manager = this;
}

SearchManager::~SearchManager() {
    StopAll();
    m_link->manager = nullptr;
}

void SearchManager::SetMaxWorkers(int count) {
    m_maxWorkers = count;
}

void SearchManager::SetCatalog(const EngineCatalog* catalog) {
    m_catalog = catalog;
}

void SearchManager::SetKeyword(std::string keyword) {
    m_keyword = std::move(keyword);
}

void SearchManager::Start(SearchManagerListener* frame) {
    m_frame = frame;
    m_queue = std::make_unique<JobQueue>();
    m_stopped = false;
    if (m_catalog != nullptr) {
        const ProxySettings proxy = QueryBuilder::ReadProxySettings(m_options);
        m_skipped.clear();
        QueryBuilder::BuildJobs(*m_catalog, m_keyword, proxy, *m_queue, &m_skipped);
    }
    const int firstRound = std::min({m_maxWorkers, kMaxSlots, m_queue->Count()});
    for (int slot = 0; slot < firstRound; ++slot) {
        if (!StartWorker(slot)) {
            break;
        }
    }
}

bool SearchManager::StartWorker(int slot) {
    SearchJob job;
    if (!m_queue->NextJob(job)) {
        return false;
    }
    // Time-outs are read as each worker is set up, so a change of options reaches the next
    // worker and never a running one.
    auto worker = std::make_shared<CHttpSearch>();
    worker->Setup(m_link, slot, job, m_options.GetRecvTimeout(), m_options.GetSendTimeout());
    m_slots[static_cast<std::size_t>(slot)] = worker;
    worker->Start();
    return true;
}

void SearchManager::StopAll() {
    for (std::shared_ptr<CHttpSearch>& worker : m_slots) {
        if (worker != nullptr) {
            worker->Stop();
            worker.reset();
        }
    }
    if (m_queue != nullptr) {
        m_queue->Clear();
        m_queue.reset();
    }
    m_stopped = true;
}

ResultList& SearchManager::Pending() {
    return m_pending;
}

const std::vector<std::string>& SearchManager::SkippedEngines() const {
    return m_skipped;
}

int SearchManager::JobCount() const {
    return m_queue != nullptr ? m_queue->Count() : 0;
}

int SearchManager::RunningWorkers() const {
    return static_cast<int>(std::count_if(m_slots.begin(), m_slots.end(),
                                          [](const auto& worker) { return worker != nullptr; }));
}

void SearchManager::OnWorkerNotice(int code, int detail) {
    if (m_stopped || m_frame == nullptr) {
        return;
    }
    m_frame->OnSearchNotice(code, detail);
}

void SearchManager::OnPageData(CHttpSearch& worker) {
    if (m_stopped) {
        return;
    }
    worker.Feed(m_pending);
    if (m_frame != nullptr) {
        m_frame->OnNewResults(*this);
    }
}

void SearchManager::OnWorkerEnded(CHttpSearch& worker) {
    const int slot = worker.Slot();
    if (slot < 0 || slot >= kMaxSlots) {
        return;
    }
    std::shared_ptr<CHttpSearch>& occupant = m_slots[static_cast<std::size_t>(slot)];
    if (occupant.get() != &worker) {
        return;
    }
    occupant.reset();
    if (!m_stopped && m_queue != nullptr) {
        StartWorker(slot);
    }
}
