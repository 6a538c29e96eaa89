#pragma once

#include "widgets/CReportCtrl.h"

#include <QWidget>

// A view whose whole area is one report control. It creates the control's window on its first
// initial update, keeps it covering the view, and hands it the keyboard focus. It adds no
// columns, data or commands: a view built on it defines those after OnInitialUpdate().
//
// A derived view that listens to the control should detach or call
// GetReportCtrl().DestroyWindow() in its own destructor, since it is gone by the time this
// view destroys the control.
class CReportView : public QWidget {
  public:
    explicit CReportView(QWidget* parent = nullptr);
    ~CReportView() override;

    // Creates the control (once) as a visible child with identifier 0 covering the view.
    // Later calls leave the existing control, its columns and its items alone.
    virtual void OnInitialUpdate();
    CReportCtrl& GetReportCtrl();
    bool IsControlCreated() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    CReportCtrl m_control;
    bool m_controlCreated = false;
};
