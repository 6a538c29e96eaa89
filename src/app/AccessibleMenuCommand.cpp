#include "app/AccessibleMenuCommand.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

constexpr const char* kMarkProperty = "vantorellAccessibleCommand";
const QLatin1Char kTab('\t');
const QLatin1Char kMnemonic('&');

QAccessibleInterface* CommandFactory(const QString& className, QObject* object) {
    auto* action = qobject_cast<QAction*>(object);
    if (className != QLatin1String("QAction") || action == nullptr ||
        !action->property(kMarkProperty).toBool()) {
        return nullptr;
    }
    return new AccessibleMenuCommand(action);
}

} // namespace

void AccessibleMenuCommand::Install() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    QAccessible::installFactory(CommandFactory);
}

void AccessibleMenuCommand::Mark(QAction* action, const QString& description) {
    action->setProperty(kMarkProperty, true);
    action->setProperty(kDescriptionProperty, description);
}

QString AccessibleMenuCommand::NameOf(const QString& menuText) {
    QString name = menuText;
    const qsizetype tab = name.indexOf(kTab);
    if (tab >= 0) {
        name.truncate(tab);
    }
    name.remove(kMnemonic);
    return name;
}

AccessibleMenuCommand::AccessibleMenuCommand(QAction* action) : m_action(action) {
}

bool AccessibleMenuCommand::isValid() const {
    return m_action != nullptr && Owner() != nullptr;
}

QObject* AccessibleMenuCommand::object() const {
    return m_action;
}

QWindow* AccessibleMenuCommand::window() const {
    QWidget* owner = Owner();
    if (owner == nullptr) {
        return nullptr;
    }
    return owner->window()->windowHandle();
}

QWidget* AccessibleMenuCommand::Owner() const {
    if (m_action == nullptr) {
        return nullptr;
    }
    for (QObject* shown : m_action->associatedObjects()) {
        if (qobject_cast<QMenu*>(shown) != nullptr || qobject_cast<QMenuBar*>(shown) != nullptr) {
            return static_cast<QWidget*>(shown);
        }
    }
    return nullptr;
}

QAccessibleInterface* AccessibleMenuCommand::parent() const {
    return QAccessible::queryAccessibleInterface(Owner());
}

QAccessibleInterface* AccessibleMenuCommand::child(int index) const {
    if (index == 0 && m_action != nullptr && m_action->menu() != nullptr) {
        return QAccessible::queryAccessibleInterface(m_action->menu());
    }
    return nullptr;
}

int AccessibleMenuCommand::childCount() const {
    return m_action != nullptr && m_action->menu() != nullptr ? 1 : 0;
}

int AccessibleMenuCommand::indexOfChild(const QAccessibleInterface* child) const {
    if (child != nullptr && m_action != nullptr && child->object() == m_action->menu()) {
        return 0;
    }
    return -1;
}

QAccessibleInterface* AccessibleMenuCommand::childAt(int x, int y) const {
    QAccessibleInterface* menu = child(0);
    if (menu != nullptr && menu->rect().contains(x, y)) {
        return menu;
    }
    return nullptr;
}

QAccessibleInterface* AccessibleMenuCommand::focusChild() const {
    return nullptr;
}

QString AccessibleMenuCommand::text(QAccessible::Text type) const {
    if (m_action == nullptr) {
        return {};
    }
    switch (type) {
    case QAccessible::Name:
        return NameOf(m_action->text());
    case QAccessible::Description:
        return m_action->property(kDescriptionProperty).toString();
    case QAccessible::Accelerator:
        return m_action->shortcut().toString(QKeySequence::NativeText);
    default:
        return {};
    }
}

void AccessibleMenuCommand::setText(QAccessible::Text, const QString&) {
}

QRect AccessibleMenuCommand::rect() const {
    QWidget* owner = Owner();
    QRect area;
    if (auto* menu = qobject_cast<QMenu*>(owner)) {
        area = menu->actionGeometry(m_action);
    } else if (auto* bar = qobject_cast<QMenuBar*>(owner)) {
        area = bar->actionGeometry(m_action);
    }
    if (owner == nullptr) {
        return area;
    }
    return area.translated(owner->mapToGlobal(QPoint(0, 0)));
}

QAccessible::Role AccessibleMenuCommand::role() const {
    return QAccessible::MenuItem;
}

QAccessible::State AccessibleMenuCommand::state() const {
    QAccessible::State state;
    QWidget* owner = Owner();
    if (m_action == nullptr || owner == nullptr) {
        state.invalid = true;
        return state;
    }
    state.invisible = !owner->isVisible() || !m_action->isVisible();
    state.disabled = !m_action->isEnabled();
    state.checkable = m_action->isCheckable();
    state.checked = m_action->isChecked();
    state.hasPopup = m_action->menu() != nullptr;
    if (auto* menu = qobject_cast<QMenu*>(owner)) {
        state.focused = menu->activeAction() == m_action;
    }
    return state;
}

void* AccessibleMenuCommand::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ActionInterface) {
        return static_cast<QAccessibleActionInterface*>(this);
    }
    return nullptr;
}

QStringList AccessibleMenuCommand::actionNames() const {
    if (m_action == nullptr) {
        return {};
    }
    if (m_action->menu() != nullptr) {
        return {showMenuAction()};
    }
    return {pressAction()};
}

void AccessibleMenuCommand::doAction(const QString& actionName) {
    if (m_action == nullptr || !m_action->isEnabled()) {
        return;
    }
    if (actionName == pressAction()) {
        m_action->trigger();
        return;
    }
    if (actionName == showMenuAction()) {
        if (auto* menu = qobject_cast<QMenu*>(Owner())) {
            menu->setActiveAction(m_action);
        }
    }
}

QStringList AccessibleMenuCommand::keyBindingsForAction(const QString& actionName) const {
    if (m_action == nullptr || actionName != pressAction() || m_action->shortcut().isEmpty()) {
        return {};
    }
    return {m_action->shortcut().toString(QKeySequence::NativeText)};
}
