#include "gui/app/Art.h"

#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

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

}  // namespace

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
    QSvgRenderer renderer(Path(resourceId));
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
