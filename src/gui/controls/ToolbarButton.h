// The wizard's push button: an icon beside the caption (left or right of it)
// and, in toolbar style, a flat face over the page background that lights up
// while the mouse is over it.
#pragma once

#include <QPushButton>

namespace orvanta {

class ToolbarButton : public QPushButton {
    Q_OBJECT
public:
    enum class IconSide { Left, Right };

    explicit ToolbarButton(QWidget* parent = nullptr);

    void SetIcon(const QIcon& icon, IconSide side);
    IconSide Side() const { return side_; }
    // Flat toolbar look (Back/Next) instead of a raised button.
    void SetToolbarStyle(bool on);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    IconSide side_ = IconSide::Left;
    bool toolbar_ = false;
    bool hovered_ = false;
};

}  // namespace orvanta
