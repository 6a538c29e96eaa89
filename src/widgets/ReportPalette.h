#pragma once

#include <QColor>

#include <vector>

// The colours that a report control's cells and rows refer to by index.
class ReportPalette {
  public:
    // Inserts a colour at index (the later ones move up), or stores it at index, growing the
    // palette with black entries. Returns the index, or -1 for a negative index or when there
    // is no memory for it.
    int Insert(int index, const QColor& colour);
    // The colour at index; invalid for an unknown index.
    QColor Get(int index) const;

  private:
    std::vector<QColor> m_colours;
};
