#include "gui/controls/PictureFrame.h"

#include <QPainter>

#include "gui/controls/Art.h"

namespace orvanta {
namespace {

// What each picture shows, for assistive tools: the pictures carry no text
// of their own that a screen reader could read.
QString PictureDescription(int resourceId) {
    switch (resourceId) {
        case art::kBanner: return QStringLiteral("Orvanta");
        case art::kFirstPppoe: return QStringLiteral("The PC connected through a PPPoE modem to the Internet");
        case art::kFirstRouter: return QStringLiteral("The PC connected through a router and a modem to the Internet");
        case art::kFirstNoInternet:
            return QStringLiteral("The PC connected through a router and a modem, without a link to the Internet");
        case art::kDiagramRouter:
            return QStringLiteral("A router with its Internet port to the Internet and its LAN ports to the PC and the camera");
        case art::kDiagramLan: return QStringLiteral("The PC and the camera on the LAN ports of a router behind a modem");
        case art::kDiagramWireless:
            return QStringLiteral("The PC and the camera on a wireless access-point router behind a modem");
        case art::kWpsButton: return QStringLiteral("A wireless router with its WPS button marked");
        case art::kWpsJoin: return QStringLiteral("A wireless router and a wireless camera joining each other");
        case art::kSetupDone: return QStringLiteral("A camera with an information sign");
        default: return {};
    }
}

}  // namespace

PictureFrame::PictureFrame(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::NoFrame);
}

void PictureFrame::SetPicture(int resourceId) {
    if (resourceId == pictureId_ && !picture_.isNull()) return;
    pictureId_ = resourceId;
    picture_ = resourceId == 0 ? QPixmap() : art::Picture(resourceId, devicePixelRatioF());
    const QString description = PictureDescription(resourceId);
    setAccessibleName(description.isEmpty() ? QStringLiteral("Picture %1").arg(resourceId) : description);
    update();
}

void PictureFrame::Refresh() {
    const int id = pictureId_;
    pictureId_ = 0;
    picture_ = QPixmap();
    SetPicture(id);
}

void PictureFrame::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (picture_.isNull()) return;
    QPainter p(this);
    const QRect area = contentsRect();
    p.setClipRect(area);
    p.drawPixmap(area.topLeft(), picture_);
}

}  // namespace orvanta
