#pragma once

#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QPointer>

class QAction;
class QWidget;

// What assistive technology sees of one command in the program's menus. A menu text carries
// its key after a tab ("Copy\tCtrl+C"), which a screen reader would read as part of the name;
// here the name is the text before the tab without its mnemonic marks ("Copy"), the key is the
// accelerator, and the command's description (its tool tip, where it has one) is the
// description. Pressing it carries the command out; a sub-menu entry shows its menu.
class AccessibleMenuCommand : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    // The dynamic property that holds a command's description.
    static constexpr const char* kDescriptionProperty = "vantorellDescription";

    // Registers the factory that gives marked actions this interface; once per process.
    static void Install();
    // Gives action this interface, with description.
    static void Mark(QAction* action, const QString& description);
    // A menu text's name: the text before a tab, without mnemonic marks.
    static QString NameOf(const QString& menuText);

    explicit AccessibleMenuCommand(QAction* action);

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text type, const QString& text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

  private:
    // The menu or menu bar that shows the action.
    QWidget* Owner() const;

    QPointer<QAction> m_action;
};
