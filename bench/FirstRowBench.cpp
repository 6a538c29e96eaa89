// Measures what a user sees of a search's speed: the real main window, offscreen, searches a
// loopback engine 20 times; each time the engine sends a page whose first result is completed
// by the page's last byte (the grammar ends a result at the first byte after its closing text),
// and the benchmark takes the time from the moment that byte has gone out to the moment the
// report control has painted with the result's row in it. Prints the median.

#include "app/CMainFrame.h"
#include "app/CMarovaneProView.h"
#include "app/FileDialogRunner.h"
#include "app/KeywordCombo.h"
#include "app/QtMessageSink.h"
#include "app/SearchBar.h"
#include "app/SearchButton.h"
#include "model/EngineFile.h"
#include "platform/ConnectionState.h"
#include "platform/UiDispatcher.h"
#include "search/CHttpSearch.h"
#include "search/SearchSession.h"
#include "settings/OptionsStore.h"
#include "widgets/CReportCtrl.h"

#include "support/EventLoopWait.h"
#include "support/FixtureServer.h"
#include "support/RecordingDdeBridge.h"
#include "support/RecordingDesktopOpen.h"
#include "support/RecordingProcessLauncher.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSearches = 20;
constexpr int kWindowWidth = 1000;
constexpr int kWindowHeight = 700;
constexpr int kSettleMs = 200;
constexpr int kPaintLimitMs = 3000;
constexpr int kWorkerDrainMs = 5000;
constexpr double kGoalMs = 20.0;
const char* const kGrammar = "<r><a href=\"$URL$\">$NAME$</a><p>$MEMO$</p$END$";

int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// A page with one result, completed by the page's last byte; the connection stays open, as an
// engine still sending the rest of its page.
std::string OneResultPage(int search) {
    const std::string n = std::to_string(search);
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html><body>\n"
           "<r><a href=\"http://first.example/" +
           n + "\">First result of search " + n + "</a><p>The summary of the first result.</p>\n";
}

// Stamps the moment the report control has finished painting while it holds a row: it lets the
// control paint first, then takes the time.
class PaintClock : public QObject {
  public:
    explicit PaintClock(CReportCtrl& control) : m_control(control) {
    }
    void Arm() {
        m_paintedAt = 0;
    }
    int64_t PaintedAt() const {
        return m_paintedAt;
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || m_paintedAt != 0 || m_control.GetItemCount() == 0) {
            return false;
        }
        // QObject::event is public; the control's own paint handling runs through it.
        static_cast<QObject*>(watched)->event(event);
        m_paintedAt = Now();
        return true;
    }

  private:
    CReportCtrl& m_control;
    int64_t m_paintedAt = 0;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    UiDispatcher::Init();
    ::setenv("VANTORELL_CONNECTED", "1", 1);

    TempDir app;
    ::setenv("VANTORELL_REGISTRY", app.file("registry.ini").c_str(), 1);
    std::filesystem::create_directory(app.file("Site"));
    std::filesystem::create_directory(app.file("User"));
    OptionsStore options(app.path());

    std::atomic<int> search{0};
    std::atomic<int64_t> sentAt{0};
    FixtureServer server([&](const std::string&) {
        FixtureReply reply;
        reply.bytes = OneResultPage(search.load());
        reply.ending = FixtureReply::Ending::KeepOpen;
        const std::size_t size = reply.bytes.size();
        reply.onSent = [&sentAt, size](std::size_t sent) {
            if (sent == size) {
                sentAt.store(Now());
            }
        };
        return reply;
    });
    EngineDefinition engine;
    engine.name.set("Loopback");
    engine.website.set(server.Url(""));
    engine.path.set("/find?q=$KEY$&n=$FIRST$");
    engine.method.set("GET");
    engine.grm.set(kGrammar);
    engine.enable.set("true");
    engine.category.set("The Web");
    writeFileBytes(app.file("Site/Loopback.vnp"), EngineFile::CanonicalBytes(engine));

    QtMessageSink messages;
    ConnectionState connection;
    RecordingDdeBridge dde;
    RecordingProcessLauncher processes;
    RecordingDesktopOpen desktop;
    FileDialogRunner dialogs;
    std::vector<double> delays;
    {
        const FrameServices services{options,   messages, connection, dde,
                                     processes, desktop,  dialogs};
        CMainFrame frame(services);
        frame.resize(kWindowWidth, kWindowHeight);
        frame.show();
        if (!QTest::qWaitForWindowExposed(&frame)) {
            std::fprintf(stderr, "the window did not show\n");
            return 1;
        }
        CReportCtrl& control = frame.View().GetReportCtrl();
        PaintClock clock(control);
        control.installEventFilter(&clock);
        QTest::keyClicks(frame.GetSearchBar().Combo().lineEdit(), "first row");
        runEventsFor(kSettleMs);

        for (int n = 0; n < kSearches; ++n) {
            search.store(n);
            sentAt.store(0);
            clock.Arm();
            QTest::mouseClick(&frame.GetSearchBar().Button(), Qt::LeftButton);
            runEventsUntil([&clock] { return clock.PaintedAt() != 0; }, kPaintLimitMs);
            const int64_t sent = sentAt.load();
            const int64_t painted = clock.PaintedAt();
            frame.Session().StopSearch();
            CHttpSearch::WaitForAllEnded(kWorkerDrainMs);
            runEventsFor(kSettleMs);
            if (sent == 0 || painted == 0) {
                std::fprintf(stderr, "search %d: no row was painted (%d rows, %zu requests)\n",
                             n + 1, control.GetItemCount(), server.Requests().size());
                continue;
            }
            delays.push_back(static_cast<double>(painted - sent) / 1e6);
        }
        control.removeEventFilter(&clock);
    }
    if (delays.empty()) {
        return 1;
    }
    std::sort(delays.begin(), delays.end());
    const std::size_t middle = delays.size() / 2;
    const double median =
        delays.size() % 2 == 1 ? delays[middle] : (delays[middle - 1] + delays[middle]) / 2;
    std::printf("first row: %zu searches, fastest %.2f ms, slowest %.2f ms\n", delays.size(),
                delays.front(), delays.back());
    std::printf("  first row painted after its bytes: %.2f ms, median of %zu (goal: at most %.0f "
                "ms)\n",
                median, delays.size(), kGoalMs);
    return delays.size() == static_cast<std::size_t>(kSearches) ? 0 : 1;
}
