#include "gui/framework/ShownText.h"

#include <QTextDocument>

namespace orvanta {

namespace {

// Embeddings, overrides and isolates: invisible themselves, they only
// change the order of what follows.
bool BidiControl(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

}  // namespace

QString ShownText(std::string_view text, qsizetype maxChars) {
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.removeIf(BidiControl);
    for (QChar& c : shown)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    if (shown.size() > maxChars) shown = shown.left(maxChars - 1) + QChar(0x2026);
    return shown;
}

QString PlainToolTip(const QString& shown) {
    return shown.isEmpty() ? QString() : Qt::convertFromPlainText(shown, Qt::WhiteSpaceNoWrap);
}

}  // namespace orvanta
