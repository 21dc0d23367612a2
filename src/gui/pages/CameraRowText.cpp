#include "gui/pages/CameraRowText.h"

#include <arpa/inet.h>

#include <cstdio>

namespace orvanta {

uint32_t AddressValue(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return inet_addr(bytes.constData());
}

void ParseMacText(const QString& text, uint8_t (&mac)[6]) {
    const QByteArray bytes = text.toLocal8Bit();
    unsigned int v[6];
    for (int i = 0; i < 6; ++i) v[i] = mac[i];
    const int n = std::sscanf(bytes.constData(), "%2x:%2x:%2x:%2x:%2x:%2x", &v[0], &v[1], &v[2], &v[3], &v[4],
                              &v[5]);
    // Only the groups sscanf filled are taken; the others stay as they were.
    for (int i = 0; i < n && i < 6; ++i) mac[i] = static_cast<uint8_t>(v[i]);
}

QString CameraWebAddress(const QString& ip, const QString& port) {
    return QStringLiteral("http://%1:%2").arg(ip, port);
}

}  // namespace orvanta
