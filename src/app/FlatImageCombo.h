#pragma once

#include <QComboBox>
#include <QPixmap>
#include <QTimer>

#include <string>
#include <vector>

// The category combo: a drop-down list (no typing) whose items show an icon and their name
// centred, drawn by the program, with a flat border that rises while the mouse is over it and
// sinks while the left button is held on it. Each item keeps its category name as its data.
class FlatImageCombo : public QComboBox {
  public:
    // How often the combo looks whether the mouse has left it.
    static constexpr int kHoverCheckMs = 10;
    // Items above the last icon's index share that icon.
    static constexpr int kLastIconIndex = 18;
    // The icon is drawn this far in from the item's top-left corner.
    static constexpr int kIconInset = 1;
    static constexpr int kItemHeight = 18;
    static constexpr int kDropDownHeight = 500;

    explicit FlatImageCombo(QWidget* parent = nullptr);

    void SetIcons(const std::vector<QPixmap>& icons);
    // Appends an item showing name, with name as its data.
    void AddCategory(const std::string& name);
    // The data of the selected item; empty when none is selected.
    std::string SelectedCategory() const;
    // The data of the item at index; empty when out of range.
    std::string CategoryAt(int index) const;
    // The icon index of an item index.
    static int IconIndexOf(int itemIndex);
    const QPixmap* IconOf(int itemIndex) const;
    // Whether the mouse is over a category combo (one flag for all of them).
    static bool IsHot();
    // Paints one item as the list and the closed combo show it.
    void PaintItem(QPainter& painter, const QRect& rect, int itemIndex, bool selected) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hidePopup() override;

  private:
    void OnHoverCheck();
    void DrawBorder(QPainter& painter) const;

    std::vector<QPixmap> m_icons;
    QTimer m_hoverTimer;
    bool m_pressed = false;
    static bool s_hot;
};
