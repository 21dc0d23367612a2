#include "gui/controls/RoundedButton.h"

#include <QPainter>

namespace orvanta {

RoundedButton::RoundedButton(QWidget* parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
}

QSize RoundedButton::sizeHint() const {
    const QSize text = fontMetrics().size(Qt::TextSingleLine, this->text());
    return {text.width() + 24, text.height() + 12};
}

void RoundedButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor face(0x60, 0xAF, 0xFF);
    if (!isEnabled()) face = QColor(0xC8, 0xC8, 0xC8);
    else if (isDown()) face = face.darker(120);
    else if (underMouse()) face = face.lighter(110);
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
    p.setPen(Qt::white);
    p.drawText(rect(), Qt::AlignCenter | Qt::TextShowMnemonic, text());
    if (hasFocus()) {
        p.setPen(QPen(Qt::white, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(3.5, 3.5, -3.5, -3.5), 4, 4);
    }
}

}  // namespace orvanta
