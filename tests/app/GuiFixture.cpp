#include "app/GuiFixture.h"

#include "app/CMarovaneProView.h"
#include "app/KeywordCombo.h"
#include "app/ProgressStatusBar.h"
#include "app/SearchBar.h"
#include "app/SearchButton.h"
#include "model/EngineFile.h"
#include "model/ResultList.h"
#include "results/ResultsFile.h"
#include "search/CHttpSearch.h"
#include "search/SearchSession.h"
#include "settings/OptionsStore.h"

#include "support/EventLoopWait.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <regex>

namespace {

const char* const kGrammar = "<r><a href=\"$URL$\">$NAME$</a><p>$MEMO$</p$END$";
constexpr int kWorkerDrainMs = 10000;

// The engine and the first result's number of a request "GET /<engine>?q=...&n=<first> ...".
std::pair<std::string, int> EngineAndFirstOf(const std::string& request) {
    static const std::regex line(R"(^\w+ /(\w+)\?[^ ]*n=(\d+))");
    std::smatch match;
    if (!std::regex_search(request, match, line)) {
        return {std::string(), 0};
    }
    return {match[1].str(), std::stoi(match[2].str())};
}

} // namespace

std::string ScriptedDialogs::Run(QFileDialog& dialog) {
    ++runs;
    mode = dialog.acceptMode();
    filters = dialog.nameFilters();
    defaultSuffix = dialog.defaultSuffix();
    initialFiles = dialog.selectedFiles();
    fileMode = dialog.fileMode();
    return answer;
}

std::vector<std::string> ScriptedDialogs::RunMany(QFileDialog& dialog) {
    Run(dialog);
    return answers;
}

bool NameFilterMatches(const QString& filter, const QString& fileName) {
    const qsizetype open = filter.indexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open) {
        return false;
    }
    const QStringList patterns =
        filter.mid(open + 1, close - open - 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& pattern : patterns) {
        const QRegularExpression expression(
            QRegularExpression::wildcardToRegularExpression(pattern));
        if (expression.match(fileName).hasMatch()) {
            return true;
        }
    }
    return false;
}

bool SwitchableConnection::IsConnected() const {
    return connected;
}

GuiFixture::GuiFixture() {
    server = std::make_unique<FixtureServer>(
        [this](const std::string& request) { return Answer(request); });
}

GuiFixture::~GuiFixture() {
    m_frame.reset();
    EXPECT_TRUE(CHttpSearch::WaitForAllEnded(kWorkerDrainMs)) << "a worker outlived the window";
    server.reset();
}

FixtureReply GuiFixture::Answer(const std::string& request) {
    FixtureReply reply;
    if (stall) {
        reply.stall = true;
        return reply;
    }
    const auto [engine, first] = EngineAndFirstOf(request);
    reply.bytes = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" +
                  (page ? page(engine, first) : ResultPage(engine, first, pageSize));
    reply.delay = std::chrono::milliseconds(answerDelayMs);
    return reply;
}

void GuiFixture::AddEngine(const std::string& name, const std::string& category) {
    AddEngineAt(name, server->Url(""), category);
}

void GuiFixture::AddEngineAt(const std::string& name, const std::string& website,
                             const std::string& category) {
    EngineDefinition engine =
        ProgramFolder::Engine(name, website, "/" + name + "?q=$KEY$&n=$FIRST$", kGrammar, category);
    engine.method.set("GET");
    engine.trunpage.set(std::to_string(pageSize + 256));
    app.AddEngine(engine);
}

void GuiFixture::SetOption(const std::string& key, const std::string& value) {
    app.SetOption(key, value);
}

std::string GuiFixture::Option(const std::string& key) const {
    const OptionsStore options(app.path());
    return options.ReadString(OptionsStore::kOptionsSection, key, "");
}

CMainFrame& GuiFixture::Frame() {
    if (m_frame == nullptr) {
        const FrameServices services{options,   messages, connection, dde,
                                     processes, desktop,  dialogs};
        m_frame = std::make_unique<CMainFrame>(services);
        m_frame->showNormal();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
        runEventsUntil([this] { return m_frame->IsFirstPaintDone(); }, kWorkerDrainMs);
    }
    return *m_frame;
}

void GuiFixture::Search(const QString& keyword) {
    QLineEdit* edit = Frame().GetSearchBar().Combo().lineEdit();
    edit->clear();
    QTest::keyClicks(edit, keyword);
    ClickSearchButton();
}

void GuiFixture::ClickSearchButton() {
    QTest::mouseClick(&Frame().GetSearchBar().Button(), Qt::LeftButton);
}

bool GuiFixture::WaitForEnd(int limitMs) {
    return runEventsUntil([this] { return !Frame().Session().IsSearching(); }, limitMs);
}

std::vector<std::string> GuiFixture::Column(int subItem) {
    CReportCtrl& control = Control();
    std::vector<std::string> texts;
    for (const int item : control.GetRowOrder()) {
        texts.push_back(control.GetItemText(item, subItem));
    }
    return texts;
}

std::string GuiFixture::Status() {
    return Frame().StatusBar().PaneText().toStdString();
}

void GuiFixture::OpenRows(const std::vector<std::vector<std::string>>& rows) {
    ResultList list;
    for (const std::vector<std::string>& row : rows) {
        list.Add(row[0], row[1], row[2], row[3]);
    }
    ResultsFile::WriteResultsFile(list, app.file("rows.vnr"));
    Frame().OpenResultsFile(app.file("rows.vnr"));
}

CMarovaneProView& GuiFixture::View() {
    return Frame().View();
}

CReportCtrl& GuiFixture::Control() {
    return View().GetReportCtrl();
}

void GuiFixture::ClickRow(int row, Qt::MouseButton button) {
    const QRect cell = Control().GetCellRect(row, Control().GetHeaderIndex(1));
    QTest::mouseClick(&Control(), button, Qt::NoModifier, cell.center());
}

std::vector<int> GuiFixture::Selected() {
    std::vector<int> items;
    for (int item = Control().GetFirstSelectedItem(); item >= 0;
         item = Control().GetNextSelectedItem(item)) {
        items.push_back(item);
    }
    return items;
}

std::string ResultPage(const std::string& engine, int first, int count) {
    std::string page = "<html><body>\n";
    for (int n = first; n < first + count; ++n) {
        const std::string number = std::to_string(n);
        page += "<r><a href=\"http://r.example/" + engine + "/" + number + "\">" + engine +
                " |> result " + number + "</a><p>Summary of " + engine + " result " + number +
                ", a text long enough to need a second line when the window is narrow.</p>\n"
                "</r>\n";
    }
    page += "</body></html>\n";
    return page;
}
