#include "search/SessionFixture.h"

#include "model/EngineFile.h"
#include "search/CHttpSearch.h"
#include "settings/OptionsStore.h"

#include "support/EventLoopWait.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

const char* const kTestGrammar = "<r><a href=\"$URL$\">$NAME$</a><p>$MEMO$</p$END$";

std::string RecordingView::Keyword() {
    return keyword;
}

std::string RecordingView::Category() {
    return category;
}

void RecordingView::SetStatusText(std::string_view text) {
    statusTexts.emplace_back(text);
}

void RecordingView::SetProgressRange(int, int upper) {
    progressUpper = upper;
}

void RecordingView::StepProgress() {
    ++progressSteps;
}

void RecordingView::ResetProgress() {
    ++progressResets;
}

void RecordingView::SetSearchButtonState(int state) {
    buttonStates.push_back(state);
}

void RecordingView::ShowMessage(std::string_view caption, std::string_view text) {
    messages.push_back(std::string(caption) + "|" + std::string(text));
}

void RecordingView::ClearResults() {
    rows.clear();
}

void RecordingView::AddResultRow(int position, const SearchResult& result) {
    EXPECT_EQ(position, static_cast<int>(rows.size()));
    rows.push_back(result);
    if (afterRow) {
        afterRow();
    }
}

void RecordingView::UpdateResultRow(int position, const SearchResult& result) {
    ASSERT_GE(position, 0);
    ASSERT_LT(position, static_cast<int>(rows.size()));
    rows[static_cast<std::size_t>(position)] = result;
    ++updatedRows;
}

std::string RecordingView::LastStatus() const {
    return statusTexts.empty() ? std::string() : statusTexts.back();
}

bool RecordingView::Saw(const std::string& status) const {
    return std::find(statusTexts.begin(), statusTexts.end(), status) != statusTexts.end();
}

bool FixedConnection::IsConnected() const {
    return connected;
}

SessionFixture::SessionFixture() = default;

SessionFixture::~SessionFixture() {
    m_session.reset();
    EXPECT_TRUE(CHttpSearch::WaitForAllEnded(10000)) << "a worker thread outlived its search";
}

void SessionFixture::AddEngine(const std::string& name, const std::string& website,
                               const std::string& path, const std::string& category,
                               const std::string& trunpage) {
    EngineDefinition engine = ProgramFolder::Engine(name, website, path, kTestGrammar, category);
    engine.method.set("GET");
    engine.trunpage.set(trunpage);
    app.AddEngine(engine);
}

void SessionFixture::SetOption(const std::string& key, const std::string& value) {
    app.SetOption(key, value);
}

void SessionFixture::UseProxy(int port) {
    app.SetOption("UseProxy", "1");
    app.SetOption("ProxyServer", "127.0.0.1");
    app.SetOption("ProxyPort", std::to_string(port));
}

SearchSession& SessionFixture::Session() {
    if (m_session == nullptr) {
        m_catalog = std::make_unique<EngineCatalog>(app.path(), messages);
        m_catalog->Load();
        m_session =
            std::make_unique<SearchSession>(*m_catalog, view, connection, OptionsStore(app.path()));
    }
    return *m_session;
}

bool SessionFixture::WaitForEnd(int limitMs) {
    return runEventsUntil([this] { return !Session().IsSearching(); }, limitMs);
}

bool SessionFixture::Search(int limitMs) {
    Session().StartSearch();
    return WaitForEnd(limitMs);
}

std::string resultPage(const std::string& engine, int first, int count) {
    std::string page = "<html><body>\n";
    for (int n = first; n < first + count; ++n) {
        const std::string number = std::to_string(n);
        page += "<r><a href=\"/r/" + engine + "/" + number + "\">" + engine + " result " + number +
                "</a><p>Summary of " + engine + " " + number + "</p>\n</r>\n";
    }
    page += "</body></html>\n";
    return page;
}

int firstOffset(const std::string& request) {
    std::smatch match;
    static const std::regex first("first=([0-9]+)");
    return std::regex_search(request, match, first) ? std::stoi(match[1]) : 0;
}

std::string httpAnswer(const std::string& body) {
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + body;
}
