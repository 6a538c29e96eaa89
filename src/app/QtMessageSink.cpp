#include "app/QtMessageSink.h"

#include <QMessageBox>
#include <QString>

namespace {

QString FromBytes(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon IconOf(std::string_view caption) {
    if (caption == MessageSink::kWarningCaption) {
        return QMessageBox::Warning;
    }
    if (caption == MessageSink::kInformationCaption) {
        return QMessageBox::Information;
    }
    return QMessageBox::Critical;
}

} // namespace

QtMessageSink::QtMessageSink(QWidget* parent) : m_parent(parent) {
}

void QtMessageSink::SetParent(QWidget* parent) {
    m_parent = parent;
}

void QtMessageSink::showMessage(std::string_view caption, std::string_view text) {
    QMessageBox box(IconOf(caption), FromBytes(caption), FromBytes(text), QMessageBox::Ok,
                    m_parent);
    box.setAccessibleName(FromBytes(caption));
    box.setAccessibleDescription(FromBytes(text));
    box.exec();
}
