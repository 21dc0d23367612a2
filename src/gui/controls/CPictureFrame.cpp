#include "gui/controls/CPictureFrame.h"

#include <QPainter>

#include "gui/app/Art.h"

namespace orvanta {

CPictureFrame::CPictureFrame(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::NoFrame);
}

void CPictureFrame::SetPicture(int resourceId) {
    if (resourceId == pictureId_ && !picture_.isNull()) return;
    pictureId_ = resourceId;
    picture_ = resourceId == 0 ? QPixmap() : art::Picture(resourceId, devicePixelRatioF());
    update();
}

void CPictureFrame::Refresh() {
    const int id = pictureId_;
    pictureId_ = 0;
    picture_ = QPixmap();
    SetPicture(id);
}

void CPictureFrame::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (picture_.isNull()) return;
    QPainter p(this);
    const QRect area = contentsRect();
    p.setClipRect(area);
    p.drawPixmap(area.topLeft(), picture_);
}

}  // namespace orvanta
