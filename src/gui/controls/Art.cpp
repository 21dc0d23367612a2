#include "gui/controls/Art.h"

#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>

#include "core/i18n/LanguageStrings.h"

// The pictures are compiled into the static GUI library, where the linker
// would drop the unreferenced resource object: register it explicitly.
static void InitArtResources() { Q_INIT_RESOURCE(art); }

namespace orvanta::art {
namespace {

void EnsureResources() {
    static const bool done = (InitArtResources(), true);
    (void)done;
}

struct Entry {
    int id;
    const char* file;
    int width;
    int height;
};

// Sizes are the pixel sizes the pages are laid out for.
constexpr Entry kEntries[] = {
    {kBanner, "banner.svg", 694, 85},
    {kFirstPppoe, "first-pppoe.svg", 477, 413},
    {kFirstRouter, "first-router.svg", 476, 414},
    {kFirstNoInternet, "first-no-internet.svg", 476, 414},
    {kDiagramRouter, "diagram-router.svg", 458, 361},
    {kDiagramLan, "diagram-lan.svg", 457, 356},
    {kDiagramWireless, "diagram-wireless.svg", 458, 364},
    {kWpsButton, "wps-button.svg", 271, 372},
    {kWpsJoin, "wps-join.svg", 491, 339},
    {kSetupDone, "setup-done.svg", 186, 152},
    {kIconApp, "icon-app.svg", 48, 48},
    {kIconSearch, "icon-search.svg", 32, 32},
    {kIconSetup, "icon-setup.svg", 32, 32},
    {kIconAbout, "icon-about.svg", 32, 32},
    {kIconNext, "icon-next.svg", 24, 24},
    {kIconBack, "icon-back.svg", 24, 24},
    {kIconFinish, "icon-finish.svg", 32, 32},
    {kIconIntranet, "icon-intranet.svg", 32, 32},
    {kIconLink, "icon-link.svg", 32, 32},
    {kIconTitle, "icon-title.svg", 32, 32},
    {kIconLanguage, "icon-language.svg", 32, 32},
};

const Entry* Find(int id) {
    for (const auto& e : kEntries)
        if (e.id == id) return &e;
    return nullptr;
}

LanguageStrings& PictureTexts() {
    static LanguageStrings texts;  // the built-in English ones until a language is chosen
    return texts;
}

QString Attribute(const QString& attributes, const QString& name) {
    const QRegularExpression re(QStringLiteral("(?<![\\w-])%1=\"([^\"]*)\"").arg(name));
    return re.match(attributes).captured(1);
}

QString WithAttribute(QString attributes, const QString& name, const QString& value) {
    const QRegularExpression re(QStringLiteral("(?<![\\w-])%1=\"[^\"]*\"").arg(name));
    return attributes.replace(re, QStringLiteral("%1=\"%2\"").arg(name, value));
}

// Greedy wrapping at blanks; a word wider than the line (Chinese and
// Japanese have no blanks) is broken between characters.
QStringList WrapLines(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    const auto fits = [&](const QString& s) { return metrics.horizontalAdvance(s) <= width; };
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString joined = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.isEmpty()) lines << line;
        line.clear();
        for (const QChar c : word) {
            if (!line.isEmpty() && !fits(line + c)) {
                lines << line;
                line.clear();
            }
            line += c;
        }
    }
    if (!line.isEmpty()) lines << line;
    return lines;
}

// One <text> element per line, in the element's own font.
QString LabelElements(const QString& attributes, const QString& text, int width) {
    QFont font(QStringLiteral("sans-serif"));
    font.setStyleHint(QFont::SansSerif);
    const int size = qMax(1, Attribute(attributes, QStringLiteral("font-size")).toInt());
    font.setPixelSize(size);
    font.setBold(Attribute(attributes, QStringLiteral("font-weight")) == QLatin1String("bold"));
    const QStringList lines = WrapLines(text, QFontMetrics(font), width);
    const double step = size * 1.2;
    double y = Attribute(attributes, QStringLiteral("y")).toDouble();
    if (Attribute(attributes, QStringLiteral("data-grow")) == QLatin1String("up")) y -= step * (lines.size() - 1);
    QString out;
    for (const QString& line : lines) {
        out += QStringLiteral("<text%1>%2</text>")
                   .arg(WithAttribute(attributes, QStringLiteral("y"), QString::number(y)), line.toHtmlEscaped());
        y += step;
    }
    return out;
}

}  // namespace

void SetPictureTexts(const LanguageStrings& language) { PictureTexts() = language; }

QByteArray LabelledSvg(int resourceId) {
    QFile file(Path(resourceId));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString svg = QString::fromUtf8(file.readAll());
    static const QRegularExpression label(QStringLiteral("<text( [^>]*)>[^<]*</text>"));
    QString out;
    qsizetype done = 0;
    for (auto it = label.globalMatch(svg); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString attributes = m.captured(1);
        const QString key = Attribute(attributes, QStringLiteral("data-key"));
        if (key.isEmpty()) continue;
        out += svg.mid(done, m.capturedStart() - done);
        const QString text =
            QString::fromStdString(PictureTexts().Get("Pictures", key.toStdString())).simplified();
        out += LabelElements(attributes, text, Attribute(attributes, QStringLiteral("data-width")).toInt());
        done = m.capturedEnd();
    }
    out += svg.mid(done);
    return out.toUtf8();
}

QSize PictureSize(int resourceId) {
    const Entry* e = Find(resourceId);
    return e ? QSize(e->width, e->height) : QSize();
}

QString Path(int resourceId) {
    EnsureResources();
    const Entry* e = Find(resourceId);
    return e ? QStringLiteral(":/art/") + QLatin1String(e->file) : QString();
}

QPixmap Picture(int resourceId, qreal devicePixelRatio) {
    const Entry* e = Find(resourceId);
    if (!e) return {};
    if (devicePixelRatio <= 0) devicePixelRatio = 1.0;
    const QSize logical(e->width, e->height);
    QPixmap pm(logical * devicePixelRatio);
    pm.setDevicePixelRatio(devicePixelRatio);
    pm.fill(Qt::white);
    QSvgRenderer renderer(LabelledSvg(resourceId));
    if (renderer.isValid()) {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(logical)));
    }
    return pm;
}

QIcon Icon(int resourceId) {
    // Every page asks for the same few icons: load each file once.
    static QHash<int, QIcon> cache;
    const auto it = cache.constFind(resourceId);
    if (it != cache.constEnd()) return *it;
    const QString path = Path(resourceId);
    QIcon icon = path.isEmpty() ? QIcon() : QIcon(path);
    cache.insert(resourceId, icon);
    return icon;
}

}  // namespace orvanta::art
