// A camera's own words as a control shows them: UTF-8 read leniently (a
// bad byte becomes the replacement character), control characters and line
// breaks shown as spaces so a name cannot break a row or fake a second
// line, and cut to a length a person reads. Shown as plain text always.
#pragma once

#include <QString>
#include <string_view>

namespace orvanta {

QString ShownText(std::string_view text, qsizetype maxChars = 256);

}  // namespace orvanta
