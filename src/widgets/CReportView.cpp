#include "widgets/CReportView.h"

#include <QFocusEvent>
#include <QResizeEvent>

CReportView::CReportView(QWidget* parent) : QWidget(parent) {
    // The view passes the focus on to its control.
    setFocusPolicy(Qt::StrongFocus);
}

CReportView::~CReportView() {
    m_control.DestroyWindow();
}

void CReportView::OnInitialUpdate() {
    if (m_controlCreated) {
        return;
    }
    m_controlCreated = m_control.Create(0, rect(), this, 0);
    setFocusProxy(&m_control);
}

CReportCtrl& CReportView::GetReportCtrl() {
    return m_control;
}

bool CReportView::IsControlCreated() const {
    return m_controlCreated;
}

void CReportView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_controlCreated && m_control.IsCreated()) {
        m_control.setGeometry(rect());
    }
}

void CReportView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (m_controlCreated && m_control.IsCreated()) {
        m_control.setFocus(event->reason());
    }
}
