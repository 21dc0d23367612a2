// Reading a camera's identity back out of a list row: the search page and
// the server camera list both turn the texts of a selected row into record
// fields and into the camera's web address.
#pragma once

#include <QString>
#include <cstdint>

namespace orvanta {

// A dotted quad as a 32-bit address in network order, the way inet_addr
// reads it (a text that is no address gives INADDR_NONE).
uint32_t AddressValue(const QString& text);

// Parses "%2x:%2x:%2x:%2x:%2x:%2x" into `mac`; the bytes a short or broken
// text does not reach keep their old values.
void ParseMacText(const QString& text, uint8_t (&mac)[6]);

// "http://%s:%s" from the row's address and port texts.
QString CameraWebAddress(const QString& ip, const QString& port);

}  // namespace orvanta
