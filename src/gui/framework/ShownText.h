// A camera's own words as a control shows them: UTF-8 read leniently (a
// bad byte becomes the replacement character), control characters and line
// breaks shown as spaces so a name cannot break a row or fake a second
// line, bidirectional controls dropped so it cannot reorder what a row
// shows, and cut to a length a person reads. Shown as plain text always.
#pragma once

#include <QString>
#include <string_view>

namespace orvanta {

QString ShownText(std::string_view text, qsizetype maxChars = 256);

// `shown` as a tooltip that shows it literally. Qt takes a tooltip that
// looks like markup as rich text (a host name "<img src=...>" would load
// and show a picture), so camera text goes in as escaped rich text.
QString PlainToolTip(const QString& shown);

}  // namespace orvanta
