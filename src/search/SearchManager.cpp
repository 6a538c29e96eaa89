#include "search/SearchManager.h"

#include "model/EngineCatalog.h"
#include "search/EngineAccount.h"
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

void SearchManager::SetAccount(EngineAccount* account) {
    m_account = account;
}

void SearchManager::SetRestingEngines(std::vector<std::string> names) {
    m_resting = std::move(names);
}

void SearchManager::SetChosenEngines(std::vector<std::string> names) {
    m_chosen = std::move(names);
}

std::int64_t SearchManager::MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

void SearchManager::DropRestingJobs() {
    JobQueue kept;
    for (int32_t i = 0; i < m_queue->Count(); ++i) {
        const SearchJob* job = m_queue->GetAt(i);
        const std::string name(job->engineName.view());
        const bool resting = std::find(m_resting.begin(), m_resting.end(), name) != m_resting.end();
        if (resting) {
            if (m_account != nullptr) {
                m_account->Add(name, EngineRecord::State::Resting);
            }
            continue;
        }
        kept.Enqueue(*job);
        if (m_account != nullptr) {
            m_account->Add(name);
        }
    }
    *m_queue = std::move(kept);
    if (m_account != nullptr) {
        m_firstRequests.assign(m_account->Records().size(), Clock::time_point());
    }
}

void SearchManager::Start(SearchManagerListener* frame) {
    m_frame = frame;
    m_queue = std::make_unique<JobQueue>();
    m_stopped = false;
    if (m_catalog != nullptr) {
        const ProxySettings proxy = QueryBuilder::ReadProxySettings(m_options);
        m_skipped.clear();
        QueryBuilder::BuildJobs(*m_catalog, m_keyword, proxy, *m_queue, &m_skipped,
                                m_chosen.empty() ? nullptr : &m_chosen);
    }
    DropRestingJobs();
    m_engines = m_queue->Count();
    m_hostlessEngines = 0;
    const int firstRound = std::min({m_maxWorkers, kMaxSlots, m_queue->Count()});
    for (int slot = 0; slot < firstRound; ++slot) {
        if (!StartWorker(slot)) {
            break;
        }
    }
}

bool SearchManager::StartWorker(int slot) {
    SearchJob job;
    const int32_t jobsBefore = m_queue->Count();
    // One page of an engine at a time: its next page is asked only once the last one has
    // told whether the engine still answers.
    std::vector<std::string> busy;
    for (std::size_t other = 0; other < m_slots.size(); ++other) {
        if (m_slots[other] != nullptr) {
            busy.push_back(m_pages[other].engine);
        }
    }
    if (!m_queue->NextJobExcept(job, busy)) {
        return false;
    }
    SlotPage& page = m_pages[static_cast<std::size_t>(slot)];
    page = SlotPage();
    page.start = Clock::now();
    page.engine = std::string(job.engineName.view());
    // The queue lets go of an engine with its last page.
    page.lastPage = m_queue->Count() < jobsBefore;
    if (m_account != nullptr) {
        page.record = m_account->Find(job.engineName.view());
    }
    if (page.record >= 0) {
        page.page = m_account->PageRequested(page.record);
        if (page.page == 1) {
            m_firstRequests[static_cast<std::size_t>(page.record)] = page.start;
        }
    }
    // Time-outs are read as each worker is set up, so a change of options reaches the next
    // worker and never a running one.
    auto worker = std::make_shared<CHttpSearch>();
    worker->Setup(m_link, slot, job, m_options.GetRecvTimeout(), m_options.GetSendTimeout(),
                  m_options.GetCleanAddresses());
    m_slots[static_cast<std::size_t>(slot)] = worker;
    worker->Start();
    return true;
}

void SearchManager::StopAll() {
    for (std::size_t slot = 0; slot < m_slots.size(); ++slot) {
        std::shared_ptr<CHttpSearch>& worker = m_slots[slot];
        if (worker != nullptr) {
            const SlotPage& page = m_pages[slot];
            if (!m_stopped && page.record >= 0) {
                m_account->PageAbandoned(page.record, page.bytesSeen,
                                         MillisecondsSince(page.start));
            }
            worker->Stop();
            worker.reset();
        }
    }
    if (m_queue != nullptr) {
        m_queue->Clear();
        m_queue.reset();
    }
    if (!m_stopped && m_account != nullptr) {
        m_account->SearchEnded();
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

bool SearchManager::EveryEngineHostless() const {
    return m_engines > 0 && m_hostlessEngines == m_engines;
}

int SearchManager::RunningWorkers() const {
    return static_cast<int>(std::count_if(m_slots.begin(), m_slots.end(),
                                          [](const auto& worker) { return worker != nullptr; }));
}

void SearchManager::OnWorkerNotice(CHttpSearch& worker, int code, int detail) {
    if (m_stopped || m_frame == nullptr) {
        return;
    }
    const bool progress = code == HttpClient::kNoticeSocketCreated ||
                          code == HttpClient::kNoticeConnected ||
                          code == HttpClient::kNoticeRequestSent;
    const int slot = worker.Slot();
    std::string engine;
    if (slot >= 0 && slot < kMaxSlots) {
        SlotPage& page = m_pages[static_cast<std::size_t>(slot)];
        engine = page.engine;
        if (!progress) {
            page.failed = true;
            page.hostFailed = page.hostFailed || code == HttpClient::kCodeHost;
            if (page.record >= 0) {
                m_account->PageFailed(page.record, page.page, worker.ErrorText());
            }
        }
    }
    m_frame->OnSearchNotice(code, detail, engine);
}

void SearchManager::OnPageData(CHttpSearch& worker) {
    if (m_stopped) {
        return;
    }
    const int32_t before = m_pending.Count();
    worker.Feed(m_pending);
    const int slot = worker.Slot();
    if (slot >= 0 && slot < kMaxSlots) {
        SlotPage& page = m_pages[static_cast<std::size_t>(slot)];
        const int parsedNow = static_cast<int>(m_pending.Count() - before);
        page.parsed += parsedNow;
        page.bytesSeen = worker.Tally().Bytes();
        if (page.record >= 0) {
            const auto first = m_firstRequests[static_cast<std::size_t>(page.record)];
            m_account->PieceParsed(page.record, worker.Tally(), MillisecondsSince(first),
                                   parsedNow);
        }
    }
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
    const SlotPage& page = m_pages[static_cast<std::size_t>(slot)];
    if (page.record >= 0) {
        m_account->PageEnded(page.record, page.page, worker.Tally(), MillisecondsSince(page.start),
                             page.parsed, page.failed, page.lastPage);
    }
    const bool refused = EngineRefused(worker, slot);
    if (page.hostFailed) {
        ++m_hostlessEngines;
    }
    occupant.reset();
    if (m_stopped || m_queue == nullptr) {
        return;
    }
    if (refused) {
        m_queue->RemoveEngine(page.engine);
    }
    StartWorker(slot);
    // Slots left empty while every queued engine had a page in flight are filled again.
    const int slots = std::min(m_maxWorkers, kMaxSlots);
    for (int other = 0; other < slots && m_queue->Count() > 0; ++other) {
        if (m_slots[static_cast<std::size_t>(other)] == nullptr && !StartWorker(other)) {
            break;
        }
    }
    if (RunningWorkers() == 0 && m_frame != nullptr) {
        m_frame->OnEnginesDone(*this);
    }
}

bool SearchManager::EngineRefused(const CHttpSearch& worker, int slot) const {
    constexpr int kFirstSuccess = 200;
    constexpr int kLastSuccess = 299;
    const SlotPage& page = m_pages[static_cast<std::size_t>(slot)];
    const int status = worker.Tally().StatusCode();
    // An answer without a status line is judged by what it parsed.
    const bool notSuccess = status != 0 && (status < kFirstSuccess || status > kLastSuccess);
    return page.failed || notSuccess || page.parsed == 0;
}
