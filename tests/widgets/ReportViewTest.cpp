#include "widgets/CReportView.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

TEST(ReportView, ControlIsMadeOnceFillsTheViewAndTakesItsFocus) {
    QWidget window;
    window.resize(300, 260);
    CReportView* view = new CReportView(&window);
    view->setGeometry(0, 0, 300, 200);
    QWidget* other = new QWidget(&window);
    other->setFocusPolicy(Qt::StrongFocus);
    other->setGeometry(0, 200, 300, 60);
    window.show();
    CReportCtrl& control = view->GetReportCtrl();
    EXPECT_FALSE(control.IsCreated());
    EXPECT_FALSE(control.isVisible());

    view->OnInitialUpdate();
    ASSERT_TRUE(control.IsCreated());
    EXPECT_EQ(control.parentWidget(), view);
    EXPECT_EQ(control.geometry(), view->rect());
    EXPECT_EQ(control.GetControlId(), 0);
    EXPECT_EQ(control.focusPolicy(), Qt::StrongFocus);
    view->resize(250, 180);
    EXPECT_EQ(control.geometry(), QRect(0, 0, 250, 180));

    ReportSubItem column;
    column.text = "Title";
    control.DefineSubItem(0, column);
    control.ActivateSubItem(0, 0);
    ReportItem item;
    item.item = 0;
    control.InsertItem(item);
    view->OnInitialUpdate();
    EXPECT_EQ(control.GetItemCount(), 1);
    EXPECT_TRUE(control.IsSubItemActive(0));

    window.activateWindow();
    QApplication::setActiveWindow(&window);
    other->setFocus();
    view->setFocus(Qt::OtherFocusReason);
    EXPECT_TRUE(control.hasFocus());
    EXPECT_TRUE(control.HasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(control.GetFirstSelectedItem(), 0) << "the arrow keys reach the list at once";
}
