#include "widgets/ReportPalette.h"

#include <new>

int ReportPalette::Insert(int index, const QColor& colour) {
    if (index < 0) {
        return -1;
    }
    try {
        if (index < static_cast<int>(m_colours.size())) {
            m_colours.insert(m_colours.begin() + index, colour);
        } else {
            m_colours.resize(static_cast<std::size_t>(index) + 1, QColor(Qt::black));
            m_colours[static_cast<std::size_t>(index)] = colour;
        }
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return index;
}

QColor ReportPalette::Get(int index) const {
    if (index < 0 || index >= static_cast<int>(m_colours.size())) {
        return {};
    }
    return m_colours[static_cast<std::size_t>(index)];
}
