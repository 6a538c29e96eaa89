#pragma once

#include <QColor>
#include <QLabel>

#include <cstdint>
#include <string>

class MessageSink;
class ProcessLauncher;
class ShellOpen;

// A text that looks and behaves like a link in a web page: coloured and underlined, red under
// the mouse when asked, opened with the desktop's handler by a click or the space bar, its
// address shown as a tool tip. A failed open beeps and names the reason in a message box.
class CHyperLink : public QLabel {
  public:
    // Style flags.
    static constexpr uint32_t kUnderline = 1;
    static constexpr uint32_t kUseHover = 2;
    static constexpr uint32_t kAutoSize = 4;
    static constexpr uint32_t kOpenOnButtonDown = 8;
    static constexpr uint32_t kFocusOnClick = 16;
    static constexpr uint32_t kNoHandCursor = 32;
    static constexpr uint32_t kNoFocusColour = 64;
    static constexpr uint32_t kDefaultStyle = kUnderline | kAutoSize | kFocusOnClick;

    static constexpr QColor kHoverColour = QColor(255, 0, 0);
    static constexpr QColor kFocusColour = QColor(0, 128, 128);
    static constexpr QColor kVisitedColour = QColor(128, 0, 128);
    static constexpr QColor kLinkColour = QColor(0, 0, 255);

    // The code reported when the desktop has no handler that could be started for the address.
    static constexpr int kNoAssociationError = 31;
    // The code reported when the program of the ".htm" command could not be started.
    static constexpr int kFileNotFoundError = 2;
    static constexpr const char* kFailurePrefix = "Can't open link:\n\n";

    CHyperLink(ShellOpen& desktop, ProcessLauncher& processes, MessageSink& messages,
               QWidget* parent = nullptr);

    // Takes over the text and address set so far: the address is the text when none was set,
    // the text is the address when it is empty. Builds the font, sizes to fit, sets the cursor
    // and the tool tip.
    void Attach();
    void SetAddress(const QString& address);
    QString Address() const;
    void SetLinkText(const QString& text);
    void SetLinkFont(const QFont& font);
    // False, changing nothing, when a flag is both removed and added.
    bool ModifyLinkStyle(uint32_t remove, uint32_t add, bool redraw = true);
    uint32_t LinkStyle() const;

    // Opens the address with the desktop's handler, or else with the command registered for
    // ".htm" files; on success the link shows as visited.
    bool OpenLink();
    bool IsVisited() const;
    // The colour the text is drawn in now.
    QColor TextColour() const;

    // The reason of a failed open by its error code, and the whole message shown.
    static std::string ErrorText(int code);
    static std::string FailureMessage(int code);
    // The command line that opens address with a registered ".htm" command: the command up to
    // its first quoted "%1" (or else its first "%1"), a blank, the address.
    static std::string HtmCommandLine(std::string_view command, std::string_view address);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    // The error code of opening the address with the registered ".htm" command; 0 when it
    // started.
    int OpenWithHtmCommand();
    void ApplyFont();
    void SizeToFit();

    ShellOpen& m_desktop;
    ProcessLauncher& m_processes;
    MessageSink& m_messages;
    QString m_address;
    uint32_t m_style = kDefaultStyle;
    // Has the focus, or the left button went down on it.
    bool m_armed = false;
    // The mouse is over the control.
    bool m_over = false;
    // Opened successfully at least once while the dialog lives.
    bool m_visited = false;
    // The left button went down on the control and has not gone up.
    bool m_pressed = false;
};
