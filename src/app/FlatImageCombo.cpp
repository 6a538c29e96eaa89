#include "app/FlatImageCombo.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kBorderWidth = 2;
constexpr int kArrowAreaWidth = 14;
constexpr int kArrowHalfWidth = 3;
constexpr int kArrowHeight = 3;
constexpr int kCategoryDataRole = Qt::UserRole;

// Draws the items of the drop-down list the way the closed combo shows its selection.
class FlatImageComboDelegate : public QStyledItemDelegate {
  public:
    explicit FlatImageComboDelegate(FlatImageCombo& combo)
        : QStyledItemDelegate(&combo), m_combo(combo) {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        m_combo.PaintItem(*painter, option.rect, index.row(), selected);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(FlatImageCombo::kItemHeight);
        return size;
    }

  private:
    FlatImageCombo& m_combo;
};

// A frame one pixel wide: light on the top and left, dark on the bottom and right.
void DrawFrame(QPainter& painter, const QRect& rect, const QColor& topLeft,
               const QColor& bottomRight) {
    painter.setPen(topLeft);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

} // namespace

bool FlatImageCombo::s_hot = false;

FlatImageCombo::FlatImageCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setMouseTracking(true);
    setItemDelegate(new FlatImageComboDelegate(*this));
    setMaxVisibleItems(kDropDownHeight / kItemHeight);
    m_hoverTimer.setInterval(kHoverCheckMs);
    QObject::connect(&m_hoverTimer, &QTimer::timeout, this, [this] { OnHoverCheck(); });
}

void FlatImageCombo::SetIcons(const std::vector<QPixmap>& icons) {
    m_icons = icons;
    update();
}

void FlatImageCombo::AddCategory(const std::string& name) {
    const QByteArray bytes(name.data(), static_cast<qsizetype>(name.size()));
    addItem(QString::fromUtf8(bytes), bytes);
}

std::string FlatImageCombo::SelectedCategory() const {
    return CategoryAt(currentIndex());
}

std::string FlatImageCombo::CategoryAt(int index) const {
    if (index < 0 || index >= count()) {
        return {};
    }
    return itemData(index, kCategoryDataRole).toByteArray().toStdString();
}

int FlatImageCombo::IconIndexOf(int itemIndex) {
    return std::min(itemIndex, kLastIconIndex);
}

const QPixmap* FlatImageCombo::IconOf(int itemIndex) const {
    const int icon = IconIndexOf(itemIndex);
    if (icon < 0 || icon >= static_cast<int>(m_icons.size())) {
        return nullptr;
    }
    return &m_icons[static_cast<std::size_t>(icon)];
}

bool FlatImageCombo::IsHot() {
    return s_hot;
}

void FlatImageCombo::PaintItem(QPainter& painter, const QRect& rect, int itemIndex,
                               bool selected) const {
    const QPalette& colours = palette();
    if (selected) {
        painter.fillRect(rect, colours.color(QPalette::Dark));
        DrawFrame(painter, rect.adjusted(0, 0, -1, -1), colours.color(QPalette::Light),
                  colours.color(QPalette::Shadow));
        painter.setPen(colours.color(QPalette::HighlightedText));
    } else {
        painter.fillRect(rect, colours.color(QPalette::Window));
        painter.setPen(colours.color(QPalette::WindowText));
    }
    if (itemIndex < 0) {
        return;
    }
    const QPixmap* icon = IconOf(itemIndex);
    int iconWidth = 0;
    if (icon != nullptr) {
        painter.drawPixmap(rect.topLeft() + QPoint(kIconInset, kIconInset), *icon);
        iconWidth = icon->width();
    }
    const QRect textRect = rect.adjusted(iconWidth / 2, 0, 0, 0);
    painter.setFont(font());
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, itemText(itemIndex));
}

void FlatImageCombo::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(rect(), colours.color(QPalette::Button));
    const QRect field =
        rect().adjusted(kBorderWidth, kBorderWidth, -kBorderWidth - kArrowAreaWidth, -kBorderWidth);
    PaintItem(painter, field, currentIndex(), hasFocus());

    const QRect arrowArea(field.right() + 1, field.top(), kArrowAreaWidth, field.height());
    const QPoint centre = arrowArea.center();
    QPolygon arrow;
    arrow << QPoint(centre.x() - kArrowHalfWidth, centre.y() - kArrowHeight / 2)
          << QPoint(centre.x() + kArrowHalfWidth, centre.y() - kArrowHeight / 2)
          << QPoint(centre.x(), centre.y() + kArrowHeight - kArrowHeight / 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled() ? colours.color(QPalette::ButtonText)
                                 : colours.color(QPalette::Dark));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawPolygon(arrow);
    painter.setRenderHint(QPainter::Antialiasing, false);
    DrawBorder(painter);
}

void FlatImageCombo::DrawBorder(QPainter& painter) const {
    const QPalette& colours = palette();
    const QRect outer = rect().adjusted(0, 0, -1, -1);
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    if (m_pressed) {
        DrawFrame(painter, outer, colours.color(QPalette::Dark), colours.color(QPalette::Light));
        DrawFrame(painter, inner, colours.color(QPalette::Shadow), colours.color(QPalette::Button));
        return;
    }
    if (s_hot && isEnabled()) {
        DrawFrame(painter, outer, colours.color(QPalette::Light), colours.color(QPalette::Dark));
        DrawFrame(painter, inner, colours.color(QPalette::Button), colours.color(QPalette::Shadow));
        return;
    }
    QColor flat = colours.color(QPalette::Button);
    if (!isEnabled()) {
        flat = colours.color(QPalette::Light);
    }
    DrawFrame(painter, outer, flat, flat);
    DrawFrame(painter, inner, flat, flat);
}

void FlatImageCombo::mouseMoveEvent(QMouseEvent* event) {
    QComboBox::mouseMoveEvent(event);
    if (!s_hot) {
        s_hot = true;
        update();
    }
    m_hoverTimer.start();
}

void FlatImageCombo::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        update();
    }
    QComboBox::mousePressEvent(event);
}

void FlatImageCombo::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = false;
        update();
    }
    QComboBox::mouseReleaseEvent(event);
}

void FlatImageCombo::hidePopup() {
    QComboBox::hidePopup();
    m_pressed = false;
    update();
}

void FlatImageCombo::OnHoverCheck() {
    if (rect().contains(mapFromGlobal(QCursor::pos()))) {
        return;
    }
    m_hoverTimer.stop();
    s_hot = false;
    update();
}
