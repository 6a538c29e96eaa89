#pragma once

#include <QAccessibleWidget>

#include <map>

class CFlatHeaderCtrl;

// The flat header for assistive technology: a row of column headers in display order.
class AccessibleFlatHeader : public QAccessibleWidget {
  public:
    explicit AccessibleFlatHeader(QWidget* widget);
    ~AccessibleFlatHeader() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

  private:
    CFlatHeaderCtrl* Header() const;

    // Sections made so far, by display position.
    mutable std::map<int, QAccessible::Id> m_sections;
};
