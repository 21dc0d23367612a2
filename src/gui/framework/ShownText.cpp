#include "gui/framework/ShownText.h"

namespace orvanta {

QString ShownText(std::string_view text, qsizetype maxChars) {
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    for (QChar& c : shown)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    if (shown.size() > maxChars) shown = shown.left(maxChars - 1) + QChar(0x2026);
    return shown;
}

}  // namespace orvanta
