// Reading a camera's identity back out of a list row: the search page and
// the server camera list both turn the texts of a selected row into record
// fields and into the camera's web address.
#pragma once

#include <QString>
#include <cstdint>

namespace orvanta {

// What AddressValue gives for a text that is no address: all ones, as the
// record has always held for it.
inline constexpr uint32_t kNoAddressValue = 0xFFFFFFFFu;

// A dotted quad as a 32-bit address in network order.
uint32_t AddressValue(const QString& text);

// Six colon-separated hexadecimal pairs into `mac`; any other text leaves
// `mac` as it was.
void ParseMacText(const QString& text, uint8_t (&mac)[6]);

// "http://%s:%s" from the row's address and port texts.
QString CameraWebAddress(const QString& ip, const QString& port);

}  // namespace orvanta
