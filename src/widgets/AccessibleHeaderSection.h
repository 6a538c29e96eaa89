#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class CFlatHeaderCtrl;

// One column of the flat header for assistive technology: a column header named by the
// column's title and described by its tip, whose press action clicks the column (which sorts
// in the report control). Like a cell it reads the header afresh on every question.
class AccessibleHeaderSection : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    // The column at display position column of header, a child of parentObject's interface
    // (the report control's table or the header itself).
    AccessibleHeaderSection(QObject* parentObject, CFlatHeaderCtrl* header, int column);

    int Column() const;

    // QAccessibleInterface
    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text type, const QString& text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleActionInterface
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

  private:
    int HeaderIndex() const;

    QPointer<QObject> m_parentObject;
    QPointer<CFlatHeaderCtrl> m_header;
    int m_column;
};
