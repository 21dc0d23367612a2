#include "gui/controls/ToolbarButton.h"

#include <QEnterEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace orvanta {

ToolbarButton::ToolbarButton(QWidget* parent) : QPushButton(parent) {
    setAttribute(Qt::WA_Hover);
    setIconSize(QSize(20, 20));
}

void ToolbarButton::SetIcon(const QIcon& icon, IconSide side) {
    side_ = side;
    setIcon(icon);
    // QPushButton puts its icon before the text in reading order; mirroring
    // the button's own direction puts it after the text without touching the
    // page's direction.
    setLayoutDirection(side == IconSide::Right ? Qt::RightToLeft : Qt::LeftToRight);
}

void ToolbarButton::SetToolbarStyle(bool on) {
    toolbar_ = on;
    setFlat(on);
    update();
}

void ToolbarButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QPushButton::enterEvent(event);
}

void ToolbarButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QPushButton::leaveEvent(event);
}

void ToolbarButton::paintEvent(QPaintEvent* event) {
    if (toolbar_ && (hovered_ || isDown()) && isEnabled()) {
        // Light face under the flat button while it is pointed at or pressed.
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(0x60, 0xAF, 0xFF));
        p.setBrush(isDown() ? QColor(0xD6, 0xEA, 0xFF) : QColor(0xEC, 0xF5, 0xFF));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }
    QPushButton::paintEvent(event);
}

}  // namespace orvanta
