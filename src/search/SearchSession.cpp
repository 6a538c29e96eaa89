#include "search/SearchSession.h"

#include "model/AddressKey.h"
#include "model/EngineCatalog.h"
#include "model/Utf8Cut.h"
#include "platform/ConnectionState.h"
#include "platform/MessageSink.h"
#include "platform/UiDispatcher.h"
#include "search/HttpClient.h"
#include "search/SearchManager.h"
#include "search/SearchSessionView.h"
#include "settings/EngineHealth.h"
#include "settings/QueryHistoryFile.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ctime>

namespace {

// The status text of an engine left out of a search because it rests.
constexpr const char* kRestingFormat = "%s rests until %02d:%02d: blocked three searches in a row";
constexpr std::size_t kRestingTextSize = 128;

constexpr std::string_view kNoKeywordText = "Please input a keyword to search.";
constexpr std::string_view kNoConnectionText = "Connection to Internet failed.";
constexpr std::string_view kCompletedText = "Search Completed";
constexpr std::string_view kTimeoutText = "Search Timeout";
constexpr std::string_view kHostNotFoundText = "Host Not Found";
constexpr std::string_view kNoEnginePrefix = "No enabled engine to search in ";
constexpr std::string_view kHealthLockedText =
    "Engine health not recorded: another program kept EngineHealth.txt busy";
constexpr std::string_view kChallengeFailure = "blocked: challenge page";
constexpr const char* kReceivedFormat = "Received Item(s):%d";
constexpr std::size_t kReceivedTextSize = 64;

// The status text of a worker's notice; null for codes that have none (the pane then keeps
// what it shows).
const char* statusTextOf(int code) {
    switch (code) {
    case 1:
        return "Connect Timeout";
    case 4:
        return "Host Unkown";
    case 5:
        return "Proxy Unkown";
    case 7:
        return "Host Not Found";
    case 9:
        return "Connection to Internet Succeed";
    case 10:
        return "Ready to recevie";
    case 11:
        return "Initialization done";
    default:
        return nullptr;
    }
}

// Results the list makes room for when a search starts; a search for more grows it.
constexpr int kReservedResults = 20000;

} // namespace

SearchSession::SearchSession(EngineCatalog& catalog, SearchSessionView& view,
                             const ConnectionState& connection, OptionsStore options)
    : m_catalog(catalog), m_view(view), m_connection(connection), m_options(std::move(options)) {
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { OnSearchTimer(); });
}

SearchSession::~SearchSession() {
    m_timer.stop();
    if (m_manager != nullptr) {
        m_manager->StopAll();
    }
}

void SearchSession::SetOverrides(const Overrides& overrides) {
    m_overrides = overrides;
}

void SearchSession::SetKeepEngineReport(bool keep) {
    m_keepEngineReport = keep;
}

void SearchSession::OnSearchButton() {
    if (m_searching) {
        StopSearch();
    } else {
        StartSearch();
    }
}

void SearchSession::StartSearch() {
    if (m_searching) {
        return;
    }
    std::string keyword = m_view.Keyword();
    keyword.resize(Utf8Cut::Length(keyword, kMaxKeywordLength));
    if (keyword.empty() || keyword == " ") {
        m_view.ShowMessage(MessageSink::kWarningCaption, kNoKeywordText);
        return;
    }
    if (!m_connection.IsConnected()) {
        m_view.ShowMessage(MessageSink::kWarningCaption, kNoConnectionText);
        return;
    }

    // Limits are read once, when the search starts; a change of options never reaches a
    // running search.
    const OptionsStore& options = m_options;
    m_maxResult = m_overrides.maxResult.value_or(options.GetMaxResult());
    m_maxEngine = m_overrides.maxEngine.value_or(options.GetMaxEngine());
    const bool queryHistory = options.GetQueryHistory();
    const long long timeoutMs = static_cast<long long>(m_overrides.searchTimeoutSeconds.value_or(
                                    options.GetSearchTimeout())) *
                                kMillisecondsPerSecond;
    m_searchTimeoutMs = static_cast<uint32_t>(std::clamp<long long>(timeoutMs, 0, INT_MAX));
    m_autoRemoveUrl = options.GetAutoRemoveUrl();

    if (queryHistory) {
        QueryHistoryFile history(m_options.ProgramFolder());
        history.Add(keyword);
    }

    m_currentKeyword = keyword;
    m_category = m_view.Category();
    m_noEngine = false;
    m_hostFailures = 0;
    m_searching = true;
    m_receivedCount = 0;

    m_results.Clear();
    // Room for the whole search at once: the list then never moves its records while they
    // arrive, and memory is only taken as they fill it.
    m_results.Reserve(std::min(m_maxResult, kReservedResults));
    m_view.ClearResults();
    m_duplicateFilter.Clear();

    m_view.SetSearchButtonState(SearchSessionView::kButtonSearching);
    m_view.SetProgressRange(0, m_maxResult);

    m_account.Clear();
    m_ranking.Clear();
    m_pageEngines.clear();
    m_manager = std::make_unique<SearchManager>(m_options);
    m_manager->SetAccount(m_keepEngineReport ? &m_account : nullptr);
    m_manager->SetMaxWorkers(m_maxEngine);
    m_manager->SetCatalog(&m_catalog);
    m_catalog.SelectCategory(m_category);
    // The last search's outcomes decide which engines rest now.
    m_healthWriter.Wait();
    m_manager->SetRestingEngines(RestingEngines());
    m_manager->SetChosenEngines(m_engineChoice);
    m_manager->SetKeyword(keyword);
    m_manager->Start(this);

    if (m_manager->RunningWorkers() == 0 && m_manager->JobCount() == 0) {
        // Nothing was started, so nothing can arrive: waiting for the time-out would only
        // keep the user waiting.
        m_noEngine = true;
        StopSearch();
        m_view.SetStatusText(std::string(kNoEnginePrefix) + m_category);
        return;
    }
    RestartTimer();
}

void SearchSession::StopSearch() {
    if (!m_searching) {
        return;
    }
    m_searching = false;
    m_timer.stop();
    if (m_manager != nullptr) {
        m_manager->StopAll();
    }
    m_view.ResetProgress();
    if (m_manager != nullptr) {
        m_manager->Pending().Clear();
    }
    RecordHealth();
    m_view.SetSearchButtonState(SearchSessionView::kButtonIdle);
}

bool SearchSession::IsSearching() const {
    return m_searching;
}

const EngineAccount& SearchSession::Account() const {
    return m_account;
}

const ResultList& SearchSession::Results() const {
    return m_results;
}

ResultList& SearchSession::Results() {
    return m_results;
}

const std::string& SearchSession::CurrentKeyword() const {
    return m_currentKeyword;
}

SearchManager* SearchSession::Manager() const {
    return m_manager.get();
}

const RelevanceRanking& SearchSession::Ranking() const {
    return m_ranking;
}

void SearchSession::SetEngineChoice(std::vector<std::string> names) {
    m_engineChoice = std::move(names);
}

bool SearchSession::HadNoEngine() const {
    return m_noEngine;
}

void SearchSession::OnSearchNotice(int code, int /*detail*/, std::string_view engine) {
    if (code == HttpClient::kCodeHost) {
        ++m_hostFailures;
        if (m_hostFailures == m_maxEngine) {
            StopSearch();
        }
    }
    const char* text = statusTextOf(code);
    if (text == nullptr) {
        return;
    }
    // A notice that ended the search ("Host Not Found") is its end text.
    if (m_searching) {
        m_view.SetNoticeText(engine, text);
    } else {
        m_view.SetStatusText(text);
    }
}

void SearchSession::OnNewResults(SearchManager& manager) {
    ResultList& pending = manager.Pending();
    const int32_t receivedBefore = m_receivedCount;
    for (int32_t i = 0; i < pending.Count(); ++i) {
        const SearchResult& item = *pending.Get(i);
        m_ranking.Note(item.engine.view(), item.address.view());
        const bool refused = m_autoRemoveUrl && !m_duplicateFilter.AddUnique(
                                                    item, UniqueResultList::KeyKind::ByAddress);
        if (refused) {
            m_account.DuplicateRefused(item.engine.view());
            MergeEngine(item);
        } else {
            m_account.ResultAccepted(item.engine.view());
            // The result is in the list before its row is made: the view may tidy the listed
            // copy (the main window cleans its title). Its row goes to the real end of the
            // list, which is not the received count once the user has deleted rows.
            m_results.Add(item);
            m_view.AddResultRow(m_results.Count() - 1, item);
            ++m_receivedCount;
            char text[kReceivedTextSize];
            std::snprintf(text, sizeof text, kReceivedFormat, m_receivedCount);
            m_view.SetStatusText(text);
            m_view.StepProgress();
        }
        if (m_maxResult <= m_receivedCount) {
            StopSearch();
            m_view.SetStatusText(kCompletedText);
            break;
        }
    }
    pending.Clear();
    // The time-out counts from the last batch that brought new results. Pieces that parse to
    // nothing (headers, empty pages, a grammar that no longer fits) or only to addresses
    // already listed do not keep a search alive for ever.
    if (m_searching && m_receivedCount > receivedBefore) {
        RestartTimer();
    }
}

void SearchSession::OnEnginesDone(SearchManager& manager) {
    if (!m_searching) {
        return;
    }
    const bool hostless = manager.EveryEngineHostless();
    StopSearch();
    m_view.SetStatusText(hostless ? kHostNotFoundText : kCompletedText);
}

void SearchSession::OnSearchTimer() {
    m_timer.stop();
    if (!m_searching) {
        return;
    }
    StopSearch();
    m_view.SetStatusText(kTimeoutText);
}

void SearchSession::RestartTimer() {
    m_timer.start(static_cast<int>(m_searchTimeoutMs));
}

std::vector<std::string> SearchSession::RestingEngines() {
    EngineHealth health(m_options.ProgramFolder());
    health.Load();
    const std::int64_t now = std::time(nullptr);
    std::vector<std::string> resting;
    // Only the engines of the chosen category: the others are not asked anyway.
    for (int32_t index = 0; index < m_catalog.EngineCount(); ++index) {
        const std::string engine(m_catalog.Engine(index)->name.view());
        if (std::find(resting.begin(), resting.end(), engine) != resting.end()) {
            continue;
        }
        const EngineHealth::Summary summary = health.Summarise(m_category, engine, now);
        if (summary.restUntil == 0) {
            continue;
        }
        resting.push_back(engine);
        const std::time_t until = static_cast<std::time_t>(summary.restUntil);
        std::tm local{};
        localtime_r(&until, &local);
        char text[kRestingTextSize];
        std::snprintf(text, sizeof text, kRestingFormat, engine.c_str(), local.tm_hour,
                      local.tm_min);
        m_view.SetStatusText(text);
    }
    return resting;
}

bool SearchSession::HealthOf(const EngineRecord& record, std::int64_t now,
                             EngineHealth::Search& search) {
    // An engine that rested, or that neither answered, parsed nor failed before the search
    // ended (a search stopped at once), has nothing to tell about its health.
    const bool outcome = record.pagesAnswered > 0 || record.resultsParsed > 0 ||
                         !record.error.empty() || record.blocked;
    if (record.state == EngineRecord::State::Resting || !outcome) {
        return false;
    }
    search = EngineHealth::Search();
    search.time = now;
    search.firstResultMs = record.firstResultMs;
    // Results found count, whatever came after them: a later block or a stop mid-page.
    if (record.resultsParsed > 0) {
        search.outcome = EngineHealth::Outcome::Ok;
    } else if (record.blocked) {
        search.outcome = EngineHealth::Outcome::Blocked;
        search.failure =
            record.challenge ? std::string(kChallengeFailure) : "blocked: " + record.statusLine;
    } else if (!record.error.empty()) {
        search.outcome = EngineHealth::Outcome::Failed;
        search.failure = record.error;
    } else {
        search.outcome = EngineHealth::Outcome::Nothing;
        search.failure = "parsed nothing: " + record.statusLine;
    }
    return true;
}

void SearchSession::RecordHealth() {
    const std::int64_t now = std::time(nullptr);
    HealthWriter::Searches searches;
    for (const EngineRecord& record : m_account.Records()) {
        EngineHealth::Search search;
        if (HealthOf(record, now, search)) {
            searches.emplace_back(record.name, search);
        }
    }
    if (searches.empty()) {
        return;
    }
    // The update tells the user-interface thread when it is done, unless the session is gone
    // or a later search has taken its result.
    auto onEnded = [this, alive = std::weak_ptr<int>(m_lifetime)](int update) {
        UiDispatcher::Post([this, alive, update] {
            if (!alive.expired() && m_healthWriter.Untaken(update)) {
                WaitForHealth();
            }
        });
    };
    m_healthWriter.Start(m_options.ProgramFolder(), m_category, std::move(searches),
                         std::move(onEnded));
}

void SearchSession::WaitForHealth() {
    // A search that ended with the health file locked says so, unless a new search began.
    if (m_healthWriter.Wait() == EngineHealth::UpdateResult::Locked && !m_searching) {
        m_view.SetStatusText(kHealthLockedText);
    }
}

void SearchSession::MergeEngine(const SearchResult& duplicate) {
    const std::string key = AddressKey::Normalise(duplicate.address.view());
    // The newest results are likeliest to repeat, so the list is searched from its end.
    for (int32_t index = m_results.Count() - 1; index >= 0; --index) {
        SearchResult* listed = m_results.Get(index);
        if (AddressKey::Normalise(listed->address.view()) != key) {
            continue;
        }
        std::vector<std::string>& engines = m_pageEngines[key];
        if (engines.empty()) {
            engines.emplace_back(listed->engine.view());
        }
        const std::string engine(duplicate.engine.view());
        if (std::find(engines.begin(), engines.end(), engine) != engines.end()) {
            return;
        }
        engines.push_back(engine);
        listed->engine.set(EngineListText(engines));
        m_view.UpdateResultRow(index, *listed);
        return;
    }
}

std::string SearchSession::EngineListText(const std::vector<std::string>& engines) {
    std::string joined;
    for (const std::string& engine : engines) {
        if (!joined.empty()) {
            joined += kEngineListSeparator;
        }
        joined += engine;
    }
    if (joined.size() <= kEngineFieldLength) {
        return joined;
    }
    // "Bing +2": the first engine and how many more, the name cut to leave room for the count.
    const std::string more = " +" + std::to_string(engines.size() - 1);
    const std::size_t room = kEngineFieldLength - more.size();
    return std::string(Utf8Cut::Prefix(engines.front(), room)) + more;
}
