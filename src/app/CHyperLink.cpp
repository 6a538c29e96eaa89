#include "app/CHyperLink.h"

#include "app/AppTitle.h"
#include "platform/BrowserLauncher.h"
#include "platform/MessageSink.h"
#include "platform/ProcessLauncher.h"
#include "platform/RegistryKey.h"
#include "platform/ShellOpen.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <array>
#include <cstdio>
#include <utility>

namespace {

constexpr std::array<std::pair<int, const char*>, 13> kErrorTexts = {{
    {0, "The operating system is out\nof memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied\naccess to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred. "},
    {27, "The filename association is\nincomplete or invalid."},
    {28, "The DDE transaction could not\nbe completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere "
         "being processed."},
    {31, "There is no application associated\nwith the given filename extension."},
    {32, "The specified dynamic-link library was not found."},
}};
constexpr std::string_view kHtmTypeKey = ".htm";
constexpr std::string_view kOpenCommandKey = "\\shell\\open\\command";
constexpr std::string_view kQuotedArgument = "\"%1\"";
constexpr std::string_view kArgument = "%1";
constexpr const char* kUnknownErrorFormat = "Unknown Error (%d) occurred.";
constexpr std::size_t kUnknownErrorSize = 64;

} // namespace

CHyperLink::CHyperLink(ShellOpen& desktop, ProcessLauncher& processes, MessageSink& messages,
                       QWidget* parent)
    : QLabel(parent), m_desktop(desktop), m_processes(processes), m_messages(messages) {
    // A static text takes no input of its own; the link needs the mouse and the keyboard.
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
}

void CHyperLink::Attach() {
    if (m_address.isEmpty()) {
        m_address = text();
    }
    if (text().isEmpty()) {
        setText(m_address);
    }
    ApplyFont();
    if ((m_style & kAutoSize) != 0) {
        SizeToFit();
    }
    if ((m_style & kNoHandCursor) == 0) {
        setCursor(Qt::PointingHandCursor);
    }
    setToolTip(m_address);
}

void CHyperLink::SetAddress(const QString& address) {
    m_address = address;
    setToolTip(m_address);
}

QString CHyperLink::Address() const {
    return m_address;
}

void CHyperLink::SetLinkText(const QString& text) {
    // Hidden while it changes, then back as it was: shown unless it was hidden on purpose (a
    // link inside a dialog not yet on screen is not visible, but must appear with it).
    const bool hidden = isHidden();
    hide();
    setText(text);
    SizeToFit();
    setVisible(!hidden);
}

void CHyperLink::SetLinkFont(const QFont& font) {
    // Hidden while it changes, then back as it was: shown unless it was hidden on purpose (a
    // link inside a dialog not yet on screen is not visible, but must appear with it).
    const bool hidden = isHidden();
    hide();
    setFont(font);
    ApplyFont();
    SizeToFit();
    setVisible(!hidden);
}

bool CHyperLink::ModifyLinkStyle(uint32_t remove, uint32_t add, bool redraw) {
    if ((remove & add) != 0) {
        return false;
    }
    const uint32_t before = m_style;
    m_style = (m_style & ~remove) | add;
    if (!redraw) {
        return true;
    }
    if (((before ^ m_style) & kUnderline) != 0) {
        ApplyFont();
    }
    if ((add & kAutoSize) != 0) {
        SizeToFit();
    }
    if ((remove & kUseHover) != 0) {
        update();
    }
    return true;
}

uint32_t CHyperLink::LinkStyle() const {
    return m_style;
}

bool CHyperLink::OpenLink() {
    int error = 0;
    if (!m_desktop.Open(m_address.toStdString())) {
        error = OpenWithHtmCommand();
    }
    if (error == 0) {
        m_visited = true;
        update();
        return true;
    }
    QApplication::beep();
    m_messages.showMessage(kAppTitle, FailureMessage(error));
    return false;
}

int CHyperLink::OpenWithHtmCommand() {
    // When the desktop's handler cannot be started, no program is associated with the
    // address, unless a ".htm" command is registered.
    std::string fileType;
    RegistryKey typeKey(m_messages);
    const bool typeRead = typeKey.Open(RegistryKey::Root::ClassesRoot, kHtmTypeKey) &&
                          typeKey.ReadString(RegistryKey::kDefaultValueName, fileType);
    typeKey.Close();
    if (!typeRead) {
        return kNoAssociationError;
    }
    std::string command;
    RegistryKey commandKey(m_messages);
    const bool commandRead =
        commandKey.Open(RegistryKey::Root::ClassesRoot, fileType + std::string(kOpenCommandKey)) &&
        commandKey.ReadString(RegistryKey::kDefaultValueName, command);
    commandKey.Close();
    if (!commandRead) {
        return kNoAssociationError;
    }
    std::vector<std::string> words =
        BrowserLauncher::SplitCommand(HtmCommandLine(command, m_address.toStdString()));
    if (words.empty()) {
        return kFileNotFoundError;
    }
    const std::string program = words.front();
    words.erase(words.begin());
    if (!m_processes.StartDetached(program, words)) {
        return kFileNotFoundError;
    }
    return 0;
}

std::string CHyperLink::HtmCommandLine(std::string_view command, std::string_view address) {
    std::size_t cut = command.find(kQuotedArgument);
    if (cut == std::string_view::npos) {
        cut = command.find(kArgument);
    }
    std::string line(command.substr(0, cut));
    line += ' ';
    line += address;
    return line;
}

bool CHyperLink::IsVisited() const {
    return m_visited;
}

QColor CHyperLink::TextColour() const {
    if (m_over && (m_style & kUseHover) != 0) {
        return kHoverColour;
    }
    if (m_armed && (m_style & kNoFocusColour) == 0) {
        return kFocusColour;
    }
    if (m_visited) {
        return kVisitedColour;
    }
    return kLinkColour;
}

std::string CHyperLink::ErrorText(int code) {
    for (const auto& [known, text] : kErrorTexts) {
        if (known == code) {
            return text;
        }
    }
    char unknown[kUnknownErrorSize];
    std::snprintf(unknown, sizeof unknown, kUnknownErrorFormat, code);
    return unknown;
}

std::string CHyperLink::FailureMessage(int code) {
    return kFailurePrefix + ErrorText(code);
}

void CHyperLink::ApplyFont() {
    QFont linkFont = font();
    linkFont.setUnderline((m_style & kUnderline) != 0);
    setFont(linkFont);
}

void CHyperLink::SizeToFit() {
    const QSize textSize = fontMetrics().size(Qt::TextSingleLine, text());
    const int margins = 2 * frameWidth();
    const QSize fitted(textSize.width() + margins, textSize.height() + margins);
    const QRect place = geometry();
    int x = place.x();
    if ((alignment() & Qt::AlignHCenter) != 0) {
        x = place.center().x() - fitted.width() / 2;
    } else if ((alignment() & Qt::AlignRight) != 0) {
        x = place.right() + 1 - fitted.width();
    }
    int y = place.y();
    if ((alignment() & Qt::AlignVCenter) != 0) {
        y = place.center().y() - fitted.height() / 2;
    }
    setGeometry(QRect(QPoint(x, y), fitted));
    setMinimumSize(fitted);
}

void CHyperLink::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(TextColour());
    painter.setFont(font());
    painter.drawText(contentsRect(), static_cast<int>(alignment()), text());
}

void CHyperLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    if ((m_style & kFocusOnClick) != 0) {
        setFocus(Qt::MouseFocusReason);
    }
    m_armed = true;
    if ((m_style & kOpenOnButtonDown) != 0) {
        OpenLink();
        return;
    }
    m_pressed = true;
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (!hasFocus()) {
        m_armed = false;
    }
    if (wasPressed && rect().contains(event->position().toPoint())) {
        OpenLink();
    }
}

void CHyperLink::mouseMoveEvent(QMouseEvent* event) {
    const bool inside = rect().contains(event->position().toPoint());
    if (inside != m_over) {
        m_over = inside;
        update();
    }
    QLabel::mouseMoveEvent(event);
}

void CHyperLink::leaveEvent(QEvent* event) {
    if (m_over) {
        m_over = false;
        update();
    }
    QLabel::leaveEvent(event);
}

void CHyperLink::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        OpenLink();
        return;
    }
    QLabel::keyPressEvent(event);
}

void CHyperLink::focusInEvent(QFocusEvent* event) {
    m_armed = true;
    update();
    QLabel::focusInEvent(event);
}

void CHyperLink::focusOutEvent(QFocusEvent* event) {
    m_armed = false;
    m_over = false;
    update();
    QLabel::focusOutEvent(event);
}
