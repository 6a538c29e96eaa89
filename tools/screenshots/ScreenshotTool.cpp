// vantorell_gui_screenshots FOLDER: shows the real main window on a display (run it under
// xvfb-run), searches two loopback engines whose pages carry realistic results, and saves
// pictures of the window into FOLDER: search.png (a finished search with summaries),
// context-menu.png (the screen with the context menu open over a row), and the dialogs:
// options-N.png (each page of the options sheet), about.png, find.png and refine.png.
// tools/screenshots.sh runs it beside the program's own --screenshot of the idle window.

#include "app/AppCommands.h"
#include "app/CMainFrame.h"
#include "app/CMarovaneProView.h"
#include "app/EngineReportDialog.h"
#include "app/FileDialogRunner.h"
#include "app/FindDialog.h"
#include "app/KeywordCombo.h"
#include "app/QtMessageSink.h"
#include "app/RefineDialog.h"
#include "app/SearchBar.h"
#include "app/SearchButton.h"
#include "model/EngineCatalog.h"
#include "model/EngineFile.h"
#include "platform/ConnectionState.h"
#include "platform/UiDispatcher.h"
#include "search/CHttpSearch.h"
#include "search/SearchSession.h"
#include "settings/OptionsStore.h"

#include "support/EventLoopWait.h"
#include "support/FixtureServer.h"
#include "support/RecordingDdeBridge.h"
#include "support/RecordingDesktopOpen.h"
#include "support/RecordingProcessLauncher.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <array>
#include <cstdio>
#include <filesystem>

namespace {

constexpr int kWindowWidth = 1100;
constexpr int kWindowHeight = 700;
constexpr int kSettleMs = 400;
constexpr int kSearchLimitMs = 20000;
constexpr int kWorkerDrainMs = 5000;
const char* const kGrammar = "<r><a href=\"$URL$\">$NAME$</a><p>$MEMO$</p$END$";

struct Sample {
    const char* title;
    const char* path;
    const char* summary;
};

const std::array<Sample, 6> kSamples = {{
    {"Meta-search engines explained - Web Guide", "guide/meta-search",
     "A meta-search engine sends your query to several search engines at once and merges "
     "what they answer into one list, so you see more of the web in one go."},
    {"Comparing search engines side by side", "compare",
     "Results of the same query differ from engine to engine. Side-by-side lists show which "
     "pages every engine finds and which only one of them knows."},
    {"How search engines rank pages", "articles/ranking",
     "Links, words in the title and the freshness of a page all play a part."},
    {"Searching newsgroups and mailing lists", "news/search",
     "Old discussions are still a rich source of answers; this page shows how to find them."},
    {"Tips for better keywords", "tips/keywords",
     "Use plus and minus signs, quote whole phrases and leave out common words."},
    {"Saving and sharing search results", "howto/save-results",
     "Keep a list of results as a file, an HTML page or plain text, and open it again later."},
}};

// Three results of the samples, from the page's first offset on; each engine starts
// elsewhere in the list, so the two lists interleave.
std::string SamplePage(int first, int shift, const std::string& host) {
    constexpr int kPerPage = 3;
    std::string page = "<html><body>\n";
    for (int n = first; n < first + kPerPage; ++n) {
        const Sample& sample = kSamples[static_cast<std::size_t>(n + shift) % kSamples.size()];
        page += "<r><a href=\"http://" + host + "/" + sample.path + "\">" + sample.title +
                "</a><p>" + sample.summary + "</p>\n</r>\n";
    }
    return page + "</body></html>\n";
}

int FirstOf(const std::string& request) {
    const std::size_t at = request.find("&n=");
    if (at == std::string::npos) {
        return 1;
    }
    return std::atoi(request.c_str() + at + 3);
}

std::string EngineOf(const std::string& request) {
    const std::size_t slash = request.find('/');
    const std::size_t question = request.find('?', slash);
    if (slash == std::string::npos || question == std::string::npos) {
        return {};
    }
    return request.substr(slash + 1, question - slash - 1);
}

void WriteEngine(const TempDir& app, const std::string& name, const std::string& website) {
    EngineDefinition engine;
    engine.name.set(name);
    engine.website.set(website);
    engine.path.set("/" + name + "?q=$KEY$&n=$FIRST$");
    engine.method.set("GET");
    engine.grm.set(kGrammar);
    engine.trunpage.set("259");
    engine.enable.set("true");
    engine.category.set("The Web");
    writeFileBytes(app.file("Site/" + name + ".vnp"), EngineFile::CanonicalBytes(engine));
}

bool Save(const QPixmap& picture, const std::string& path) {
    const bool saved = picture.save(QString::fromStdString(path), "PNG");
    std::printf("%s %s\n", saved ? "saved" : "could not save", path.c_str());
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantorell_gui_screenshots FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    QApplication application(argc, argv);
    UiDispatcher::Init();
    ::setenv("VANTORELL_CONNECTED", "1", 1);

    TempDir app;
    ::setenv("VANTORELL_REGISTRY", app.file("registry.ini").c_str(), 1);
    std::filesystem::create_directory(app.file("Site"));
    std::filesystem::create_directory(app.file("User"));
    OptionsStore options(app.path());
    options.SetMaxResult(9);

    static constexpr int kSouthShift = 3;
    static constexpr std::chrono::milliseconds kSouthDelay{60};
    FixtureServer server([](const std::string& request) {
        FixtureReply reply;
        const bool north = EngineOf(request) == "Northwind";
        const std::string page = north ? SamplePage(FirstOf(request), 0, "north.example")
                                       : SamplePage(FirstOf(request), kSouthShift, "south.example");
        reply.bytes = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + page;
        if (!north) {
            reply.delay = kSouthDelay;
        }
        return reply;
    });
    WriteEngine(app, "Northwind", server.Url(""));
    WriteEngine(app, "Southwind", server.Url(""));

    QtMessageSink messages;
    ConnectionState connection;
    RecordingDdeBridge dde;
    RecordingProcessLauncher processes;
    RecordingDesktopOpen desktop;
    FileDialogRunner dialogs;
    int status = 0;
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
        // Without a window manager nobody activates the window; the focus look needs it.
        frame.activateWindow();
        if (!QTest::qWaitForWindowActive(&frame)) {
            std::fprintf(stderr, "the window did not become active\n");
        }
        runEventsFor(kSettleMs);

        QLineEdit* edit = frame.GetSearchBar().Combo().lineEdit();
        QTest::keyClicks(edit, "meta search");
        QTest::mouseClick(&frame.GetSearchBar().Button(), Qt::LeftButton);
        runEventsUntil([&frame] { return !frame.Session().IsSearching(); }, kSearchLimitMs);
        runEventsFor(kSettleMs);
        if (!Save(frame.grab(), folder + "/search.png")) {
            status = 1;
        }

        frame.DoCommand(kCmdEngineReport);
        runEventsFor(kSettleMs);
        if (frame.EngineReport() != nullptr) {
            if (!Save(frame.EngineReport()->grab(), folder + "/engine-report.png")) {
                status = 1;
            }
            frame.EngineReport()->close();
        }

        CReportCtrl& control = frame.View().GetReportCtrl();
        const QRect cell = control.GetCellRect(1, control.GetHeaderIndex(1));
        QTest::mouseClick(&control, Qt::RightButton, Qt::NoModifier, cell.center());
        runEventsUntil([&frame] { return frame.View().ContextMenu() != nullptr; }, kSettleMs);
        runEventsFor(kSettleMs);
        QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = frame.frameGeometry();
        if (!Save(screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()),
                  folder + "/context-menu.png")) {
            status = 1;
        }
        if (frame.View().ContextMenu() != nullptr) {
            frame.View().ContextMenu()->close();
        }
        runEventsFor(kSettleMs);

        // The modal dialogs: grabbed (every page of a tabbed one) once shown, then closed.
        auto grabModal = [&](int command, const std::string& name) {
            QTimer::singleShot(kSettleMs, [&, name] {
                QDialog* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (dialog == nullptr) {
                    std::fprintf(stderr, "no dialog for %s\n", name.c_str());
                    status = 1;
                    return;
                }
                QTabWidget* tabs = dialog->findChild<QTabWidget*>();
                const int pages = tabs != nullptr ? tabs->count() : 1;
                for (int page = 0; page < pages; ++page) {
                    if (tabs != nullptr) {
                        tabs->setCurrentIndex(page);
                    }
                    QCoreApplication::processEvents();
                    const std::string file = folder + "/" + name +
                                             (pages > 1 ? "-" + std::to_string(page + 1) : "") +
                                             ".png";
                    if (!Save(dialog->grab(), file)) {
                        status = 1;
                    }
                }
                dialog->reject();
            });
            frame.DoCommand(command);
        };
        grabModal(kCmdOptions, "options");
        grabModal(kCmdAbout, "about");

        // The modeless dialogs of the results view.
        frame.DoCommand(kCmdFind);
        runEventsFor(kSettleMs);
        if (frame.View().LastFindDialog() != nullptr) {
            Save(frame.View().LastFindDialog()->grab(), folder + "/find.png");
            frame.View().LastFindDialog()->close();
        }
        frame.DoCommand(kCmdRefine);
        runEventsFor(kSettleMs);
        if (frame.View().LastRefineDialog() != nullptr) {
            Save(frame.View().LastRefineDialog()->grab(), folder + "/refine.png");
            frame.View().LastRefineDialog()->close();
        }
    }
    CHttpSearch::WaitForAllEnded(kWorkerDrainMs);
    return status;
}
