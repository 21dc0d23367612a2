// The web page of a camera that a list shows (the search page and the
// server camera list).
#pragma once

#include <QString>

namespace orvanta {

// "http://%s:%s" from the camera's address and port texts.
QString CameraWebAddress(const QString& ip, const QString& port);

}  // namespace orvanta
