#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

// The window that shows the whole text of a cut-off cell over the cell: a topmost popup with a
// thin border on the tip background, that takes neither the activation nor the mouse, so that
// the mouse goes on to reach whatever lies under it.
class ReportTipWindow : public QWidget {
  public:
    // The name the tip window carries.
    static constexpr const char* kWindowClassName = "MFCReportTipCtrl";

    explicit ReportTipWindow(QWidget* owner);

    // Shows text in font over covered (the owner's client coordinates, covered.topLeft() the
    // tip's origin): as wide as the text plus two cell margins and as high as covered.
    void ShowTip(const QString& text, const QFont& font, const QRect& covered);
    // What the tip covers, in the owner's client coordinates.
    QRect CoveredRect() const;
    QString Text() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QWidget* m_owner;
    QString m_text;
    QRect m_covered;
};
