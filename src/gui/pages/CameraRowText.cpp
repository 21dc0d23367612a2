#include "gui/pages/CameraRowText.h"

#include "core/base/AddressText.h"

namespace orvanta {

uint32_t AddressValue(const QString& text) {
    uint32_t address = 0;
    return ParseIpv4(text.toStdString(), address) ? address : kNoAddressValue;
}

void ParseMacText(const QString& text, uint8_t (&mac)[6]) { ParseMac(text.toStdString(), mac); }

QString CameraWebAddress(const QString& ip, const QString& port) {
    return QStringLiteral("http://%1:%2").arg(ip, port);
}

}  // namespace orvanta
