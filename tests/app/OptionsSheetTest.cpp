#include "app/GuiFixture.h"

#include "app/AppCommands.h"
#include "app/CPropAdvance.h"
#include "app/CPropBrowser.h"
#include "app/CPropEngine.h"
#include "app/CPropGeneral.h"
#include "app/CPropProxy.h"
#include "app/FlatImageCombo.h"
#include "app/IntegerField.h"
#include "app/OptionsSheet.h"
#include "model/EngineFile.h"

#include "support/TestFiles.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <functional>

namespace {

// Opens the Options sheet from the menu command and hands it to act while it is open. A sheet
// that act leaves open is cancelled afterwards.
void WithOptionsSheet(CMainFrame& frame, const std::function<void(OptionsSheet&)>& act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* sheet = dynamic_cast<OptionsSheet*>(modal);
        if (sheet != nullptr) {
            act(*sheet);
            acted = true;
        }
        if (modal != nullptr && modal->isVisible()) {
            static_cast<QDialog*>(modal)->reject();
        }
    });
    frame.DoCommand(kCmdOptions);
    EXPECT_TRUE(acted) << "the Options sheet did not open";
}

void TypeMaxResult(OptionsSheet& sheet, const QString& text) {
    QLineEdit& edit = sheet.General().MaxResultField().Edit();
    edit.selectAll();
    edit.insert(text);
}

std::string EnableOf(const std::string& path) {
    EngineDefinition engine;
    EngineFile::ReadEngineFile(path, engine);
    return engine.enable.str();
}

} // namespace

TEST(OptionsSheet, OkAtOnceWritesOnlyTheGeneralPageAndClearEmptiesTheHistoryAtOnce) {
    GuiFixture f;
    f.AddEngine("alpha");
    writeFileBytes(f.app.file("Query.His"), std::string(255, 'k'));
    CMainFrame& frame = f.Frame();

    // Clear works at once and stays done although the sheet is cancelled.
    WithOptionsSheet(frame, [&](OptionsSheet& sheet) {
        ASSERT_EQ(sheet.Tabs().count(), 5);
        QPushButton& clear = sheet.General().ClearButton();
        EXPECT_TRUE(clear.isEnabled());
        clear.click();
        EXPECT_FALSE(clear.isEnabled());
        EXPECT_EQ(std::filesystem::file_size(f.app.file("Query.His")), 0u);
    });
    EXPECT_EQ(f.Option("MaxResult"), "");

    WithOptionsSheet(frame, [](OptionsSheet& sheet) {
        TypeMaxResult(sheet, "120");
        sheet.accept();
        EXPECT_FALSE(sheet.isVisible());
    });
    EXPECT_EQ(f.Option("MaxResult"), "120");
    EXPECT_EQ(f.Option("QueryHistory"), "1");
    EXPECT_EQ(f.Option("AutoRemoveUrl"), "0");
    for (const char* key : {"UseProxy", "ProxyPort", "Browser", "MaxEngine", "SendTimeout"}) {
        EXPECT_EQ(f.Option(key), "") << key;
    }
    EXPECT_TRUE(f.messages.messages.empty());
}

TEST(OptionsSheet, OutOfRangeFieldsKeepTheSheetOpenOnTheirPage) {
    GuiFixture f;
    f.AddEngine("alpha");
    CMainFrame& frame = f.Frame();
    WithOptionsSheet(frame, [&](OptionsSheet& sheet) {
        sheet.Tabs().setCurrentIndex(OptionsSheet::ProxyPage);
        for (const QString typed : {QStringLiteral("0"), QStringLiteral("5001")}) {
            TypeMaxResult(sheet, typed);
            sheet.accept();
            EXPECT_TRUE(sheet.isVisible()) << typed.toStdString();
            EXPECT_EQ(sheet.Tabs().currentIndex(), OptionsSheet::GeneralPage);
            sheet.Tabs().setCurrentIndex(OptionsSheet::ProxyPage);
        }
        // The port is checked also with a direct connection.
        TypeMaxResult(sheet, "5000");
        sheet.Proxy().DirectButton().click();
        sheet.Proxy().PortEdit().clear();
        sheet.accept();
        EXPECT_TRUE(sheet.isVisible());
        EXPECT_EQ(sheet.Tabs().currentIndex(), OptionsSheet::ProxyPage);
    });
    ASSERT_EQ(f.messages.messages.size(), 3u);
    EXPECT_EQ(f.messages.messages[0].text, "Please enter an integer between 1 and 5000.");
    EXPECT_EQ(f.messages.messages[1].text, "Please enter an integer between 1 and 5000.");
    EXPECT_EQ(f.messages.messages[2].text, "Please enter a positive integer.");
    EXPECT_EQ(f.Option("MaxResult"), "");
}

TEST(OptionsSheet, OnlyTheCategoryShownAtOkWritesItsEngineFlags) {
    GuiFixture f;
    f.AddEngine("alpha");
    f.AddEngine("pics", "Images");
    CMainFrame& frame = f.Frame();
    frame.CategoryCombo().setCurrentIndex(frame.CategoryCombo().findText("Images"));
    const auto uncheckFirst = [](OptionsSheet& sheet) {
        sheet.Tabs().setCurrentIndex(OptionsSheet::EnginePage);
        QTreeWidget& list = sheet.Engines().EngineList();
        EXPECT_EQ(sheet.Engines().CategoryCombo().SelectedCategory(), "The Web");
        ASSERT_EQ(list.topLevelItemCount(), 1);
        EXPECT_EQ(list.topLevelItem(0)->text(0), "alpha");
        EXPECT_EQ(list.topLevelItem(0)->checkState(0), Qt::Checked);
        list.topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    };

    // Turning to another category drops the marks changed in the one shown before.
    WithOptionsSheet(frame, [&](OptionsSheet& sheet) {
        uncheckFirst(sheet);
        FlatImageCombo& combo = sheet.Engines().CategoryCombo();
        combo.setCurrentIndex(combo.findText("Images"));
        emit combo.activated(combo.currentIndex());
        ASSERT_EQ(sheet.Engines().EngineList().topLevelItemCount(), 1);
        EXPECT_EQ(sheet.Engines().EngineList().topLevelItem(0)->text(0), "pics");
        sheet.accept();
    });
    EXPECT_EQ(EnableOf(f.app.file("Site/alpha.vnp")), "true");

    WithOptionsSheet(frame, [&](OptionsSheet& sheet) {
        uncheckFirst(sheet);
        sheet.accept();
    });
    EXPECT_EQ(EnableOf(f.app.file("Site/alpha.vnp")), "false");

    // The next search still asks the engines of the main window's category only.
    f.Search("cats");
    ASSERT_TRUE(f.WaitForEnd(20000));
    const std::vector<std::string> addresses = f.Column(2);
    ASSERT_FALSE(addresses.empty());
    for (const std::string& address : addresses) {
        EXPECT_EQ(address.rfind("http://r.example/pics/", 0), 0u) << address;
    }
}

TEST(OptionsSheet, BrowserAndAdvancePagesWriteWhatTheyShow) {
    GuiFixture f;
    f.AddEngine("alpha");
    f.SetOption("Browser", "99");
    f.SetOption("BrowserPath", "/usr/bin/old");
    f.SetOption("SendTimeout", "5");
    CMainFrame& frame = f.Frame();
    f.dialogs.answer = "/opt/new/browser";
    // The choices name what would run; reading the registry for that creates no key there.
    const std::string registry = std::getenv("VANTORELL_REGISTRY");
    const std::string registered =
        "[HKEY_CLASSES_ROOT\\NetscapeMarkup\\shell\\open\\command]\n@=/opt/nav/navigator -h\n";
    writeFileBytes(registry, registered);
    WithOptionsSheet(frame, [&](OptionsSheet& sheet) {
        sheet.Tabs().setCurrentIndex(OptionsSheet::BrowserPage);
        CPropBrowser& browser = sheet.Browser();
        EXPECT_EQ(browser.ChoiceButton(0).text(), "&Default browser of the desktop (xdg-open)");
        EXPECT_EQ(browser.ChoiceButton(1).text(), "&Netscape navigator: runs /opt/nav/navigator");
        EXPECT_EQ(browser.ChoiceButton(2).text(), "&Opera: not registered");
        EXPECT_EQ(readFileBytes(registry), registered);
        writeFileBytes(registry,
                       "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                       "App Paths\\IEXPLORE.EXE]\n@=/usr/bin/chromium\n");
        EXPECT_EQ(CPropBrowser::ChoiceText(1, f.options), "&Registered browser: /usr/bin/chromium");
        std::filesystem::remove(registry);
        EXPECT_TRUE(browser.ChoiceButton(4).isChecked());
        EXPECT_EQ(browser.PathEdit().text(), "/usr/bin/old");
        browser.ChoiceButton(2).click();
        EXPECT_FALSE(browser.OpenButton().isEnabled());
        browser.ChoiceButton(4).click();
        browser.OpenButton().click();
        // Linux browsers have no extension: the first filter lists them, and a typed name gets
        // no extension.
        ASSERT_EQ(f.dialogs.filters, (QStringList{"Browser (*)", "All Files (*)"}));
        EXPECT_TRUE(NameFilterMatches(f.dialogs.filters.front(), "firefox"));
        EXPECT_EQ(f.dialogs.defaultSuffix, "");
        EXPECT_EQ(f.dialogs.fileMode, QFileDialog::ExistingFile);
        EXPECT_EQ(browser.PathEdit().text(), "/opt/new/browser");

        // A stored time-out out of range shows at the slider's nearest end.
        sheet.Tabs().setCurrentIndex(OptionsSheet::AdvancePage);
        CPropAdvance& advance = sheet.Advance();
        EXPECT_EQ(advance.ValueText(CPropAdvance::SendTimeout).text(), "10 Seconds");
        EXPECT_EQ(advance.ValueText(CPropAdvance::ReceiveTimeout).text(), "90 Seconds");
        advance.Slider(CPropAdvance::SearchTimeout).setValue(120);
        EXPECT_EQ(advance.ValueText(CPropAdvance::SearchTimeout).text(), "120 Seconds");
        sheet.accept();
    });
    EXPECT_EQ(f.Option("Browser"), "99");
    EXPECT_EQ(f.Option("BrowserPath"), "/opt/new/browser");
    EXPECT_EQ(f.Option("SendTimeout"), "10");
    EXPECT_EQ(f.Option("SearchTimeout"), "120");
    EXPECT_EQ(f.Option("MaxEngine"), "5");
    EXPECT_EQ(f.Option("UseProxy"), "");
}

// The engines page shows each engine's health; the user's tick ends a rest at OK; a setting
// that cannot be written is reported instead of kept silently.
TEST(OptionsSheet, EnginesPageShowsHealthTickEndsRestAndWriteFailuresAreReported) {
    GuiFixture f;
    f.AddEngine("alpha");
    const std::int64_t later = std::time(nullptr) + 600;
    writeFileBytes(f.app.file("EngineHealth.txt"),
                   "search\tThe Web\talpha\t1\tok\t300\t\r\n"
                   "search\tThe Web\talpha\t2\tblocked\t-1\tHTTP/1.0 429\r\n"
                   "rest\tThe Web\talpha\t" +
                       std::to_string(later) + "\r\n");
    CMainFrame& frame = f.Frame();
    WithOptionsSheet(frame, [&](OptionsSheet& sheet) {
        sheet.Tabs().setCurrentIndex(OptionsSheet::EnginePage);
        QTreeWidget& list = sheet.Engines().EngineList();
        ASSERT_EQ(list.topLevelItemCount(), 1);
        const QString health = list.topLevelItem(0)->text(2);
        EXPECT_TRUE(health.startsWith("1 of 2 searches found results, first result in 300 ms"))
            << health.toStdString();
        EXPECT_TRUE(health.contains("resting until")) << health.toStdString();
        // The sheet widens until the record shows whole (a long failure may still scroll).
        QApplication::processEvents();
        const int recordWidth = list.fontMetrics().horizontalAdvance(health.section(';', 0, 0));
        EXPECT_GE(list.viewport()->width(),
                  list.header()->sectionViewportPosition(2) + recordWidth);
        list.topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        list.topLevelItem(0)->setCheckState(0, Qt::Checked);
        sheet.accept();
    });
    EXPECT_EQ(readFileBytes(f.app.file("EngineHealth.txt")).find("rest\t"), std::string::npos);
    EXPECT_TRUE(f.messages.messages.empty());

    // A folder in the settings file's place: nothing can be written there.
    std::filesystem::remove(f.app.file("propertys.ini"));
    std::filesystem::create_directory(f.app.file("propertys.ini"));
    WithOptionsSheet(frame, [&](OptionsSheet& sheet) { sheet.accept(); });
    ASSERT_EQ(f.messages.messages.size(), 1u);
    EXPECT_EQ(f.messages.messages[0].caption, "Warning");
    EXPECT_EQ(f.messages.messages[0].text, OptionsSheet::kNotSavedText);
}
