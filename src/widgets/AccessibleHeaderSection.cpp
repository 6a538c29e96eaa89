#include "widgets/AccessibleHeaderSection.h"

#include "widgets/CFlatHeaderCtrl.h"

#include <QWindow>

AccessibleHeaderSection::AccessibleHeaderSection(QObject* parentObject, CFlatHeaderCtrl* header,
                                                 int column)
    : m_parentObject(parentObject), m_header(header), m_column(column) {
}

int AccessibleHeaderSection::Column() const {
    return m_column;
}

int AccessibleHeaderSection::HeaderIndex() const {
    if (m_header == nullptr) {
        return -1;
    }
    return m_header->OrderToIndex(m_column);
}

bool AccessibleHeaderSection::isValid() const {
    return HeaderIndex() >= 0;
}

QObject* AccessibleHeaderSection::object() const {
    return nullptr;
}

QWindow* AccessibleHeaderSection::window() const {
    if (m_header == nullptr) {
        return nullptr;
    }
    return m_header->window()->windowHandle();
}

QAccessibleInterface* AccessibleHeaderSection::parent() const {
    return QAccessible::queryAccessibleInterface(m_parentObject.data());
}

QAccessibleInterface* AccessibleHeaderSection::child(int /*index*/) const {
    return nullptr;
}

int AccessibleHeaderSection::childCount() const {
    return 0;
}

int AccessibleHeaderSection::indexOfChild(const QAccessibleInterface* /*child*/) const {
    return -1;
}

QAccessibleInterface* AccessibleHeaderSection::childAt(int /*x*/, int /*y*/) const {
    return nullptr;
}

QString AccessibleHeaderSection::text(QAccessible::Text type) const {
    const int index = HeaderIndex();
    if (index < 0) {
        return {};
    }
    if (type == QAccessible::Name) {
        FlatHeaderItem item;
        m_header->GetItem(index, item);
        return QString::fromStdString(item.text);
    }
    if (type == QAccessible::Description) {
        FlatHeaderItemEx extra;
        m_header->GetItemEx(index, extra);
        return QString::fromStdString(extra.tip);
    }
    return {};
}

void AccessibleHeaderSection::setText(QAccessible::Text /*type*/, const QString& /*text*/) {
}

QRect AccessibleHeaderSection::rect() const {
    const int index = HeaderIndex();
    if (index < 0) {
        return {};
    }
    const QRect column = m_header->GetItemRect(index);
    return QRect(m_header->mapToGlobal(column.topLeft()), column.size());
}

QAccessible::Role AccessibleHeaderSection::role() const {
    return QAccessible::ColumnHeader;
}

QAccessible::State AccessibleHeaderSection::state() const {
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    if (!m_header->isVisible()) {
        state.invisible = true;
    }
    return state;
}

void* AccessibleHeaderSection::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ActionInterface) {
        return static_cast<QAccessibleActionInterface*>(this);
    }
    return nullptr;
}

QStringList AccessibleHeaderSection::actionNames() const {
    return {QAccessibleActionInterface::pressAction()};
}

void AccessibleHeaderSection::doAction(const QString& actionName) {
    const int index = HeaderIndex();
    if (index >= 0 && actionName == QAccessibleActionInterface::pressAction()) {
        m_header->ClickItem(index);
    }
}

QStringList AccessibleHeaderSection::keyBindingsForAction(const QString& /*actionName*/) const {
    return {};
}
