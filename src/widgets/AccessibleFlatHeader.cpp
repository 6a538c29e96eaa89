#include "widgets/AccessibleFlatHeader.h"

#include "widgets/AccessibleHeaderSection.h"
#include "widgets/CFlatHeaderCtrl.h"

AccessibleFlatHeader::AccessibleFlatHeader(QWidget* widget)
    : QAccessibleWidget(widget, QAccessible::Row) {
}

AccessibleFlatHeader::~AccessibleFlatHeader() {
    for (const auto& [column, id] : m_sections) {
        QAccessible::deleteAccessibleInterface(id);
    }
}

CFlatHeaderCtrl* AccessibleFlatHeader::Header() const {
    return static_cast<CFlatHeaderCtrl*>(widget());
}

int AccessibleFlatHeader::childCount() const {
    return Header()->GetItemCount();
}

QAccessibleInterface* AccessibleFlatHeader::child(int index) const {
    if (index < 0 || index >= childCount()) {
        return nullptr;
    }
    const auto found = m_sections.find(index);
    if (found != m_sections.end()) {
        return QAccessible::accessibleInterface(found->second);
    }
    auto* section = new AccessibleHeaderSection(Header(), Header(), index);
    m_sections[index] = QAccessible::registerAccessibleInterface(section);
    return section;
}

int AccessibleFlatHeader::indexOfChild(const QAccessibleInterface* child) const {
    const auto* section = dynamic_cast<const AccessibleHeaderSection*>(child);
    if (section == nullptr) {
        return -1;
    }
    return section->Column();
}

QAccessibleInterface* AccessibleFlatHeader::childAt(int x, int y) const {
    const QPoint point = Header()->mapFromGlobal(QPoint(x, y));
    const int order = Header()->IndexToOrder(Header()->HitTest(point).item);
    return child(order);
}
