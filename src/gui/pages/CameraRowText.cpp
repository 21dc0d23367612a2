#include "gui/pages/CameraRowText.h"

namespace orvanta {

QString CameraWebAddress(const QString& ip, const QString& port) {
    return QStringLiteral("http://%1:%2").arg(ip, port);
}

}  // namespace orvanta
