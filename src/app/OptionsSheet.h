#pragma once

#include <QDialog>

#include <vector>

class CPropAdvance;
class CPropBrowser;
class CPropEngine;
class CPropGeneral;
class CPropProxy;
class EngineCatalog;
class FileDialogRunner;
class FlatImageCombo;
class OptionsStore;
class MessageSink;
class OptionsPage;
class QTabWidget;

// The modal "Options" sheet: five pages and OK and Cancel, no Apply. A page loads its settings
// when it is first shown; OK checks the fields of the pages shown, keeps the sheet open on the
// first page with a field out of range, and otherwise writes those pages' settings.
class OptionsSheet : public QDialog {
  public:
    static constexpr const char* kTitle = "Options";
    // The caption of the range messages.
    static constexpr const char* kRangeMessageCaption = "Warning";
    // Shown after OK when a setting or an engine file could not be written.
    static constexpr const char* kNotSavedText =
        "Some options could not be saved: the settings file or an engine file cannot be written.";
    // Page indexes in tab order.
    enum PageIndex { GeneralPage, ProxyPage, EnginePage, BrowserPage, AdvancePage };

    OptionsSheet(const OptionsStore& options, EngineCatalog& catalog,
                 const FlatImageCombo& mainCombo, MessageSink& messages, FileDialogRunner& dialogs,
                 QWidget* parent = nullptr);

    void accept() override;

    QTabWidget& Tabs();
    CPropGeneral& General();
    CPropProxy& Proxy();
    CPropEngine& Engines();
    CPropBrowser& Browser();
    CPropAdvance& Advance();

  private:
    MessageSink& m_messages;
    QTabWidget* m_tabs;
    CPropGeneral* m_general;
    CPropProxy* m_proxy;
    CPropEngine* m_engines;
    CPropBrowser* m_browser;
    CPropAdvance* m_advance;
    // The pages in tab order.
    std::vector<OptionsPage*> m_pages;
};
