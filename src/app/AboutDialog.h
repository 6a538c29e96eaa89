#pragma once

#include <QDialog>

class CHyperLink;
class MessageSink;
class ProcessLauncher;
class ShellOpen;

// The modal "About Vantorell 2001" box: the program's icon, name and version, and a link to
// the maker's home page that turns red under the mouse.
class AboutDialog : public QDialog {
  public:
    static constexpr const char* kTitle = "About Vantorell 2001";
    static constexpr const char* kVersionText = "Version 2.0";
    static constexpr int kIconSize = 32;

    AboutDialog(ShellOpen& desktop, ProcessLauncher& processes, MessageSink& messages,
                QWidget* parent = nullptr);

    CHyperLink& Link();

  private:
    CHyperLink* m_link;
};
