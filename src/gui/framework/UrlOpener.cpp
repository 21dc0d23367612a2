#include "gui/framework/UrlOpener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace orvanta {

bool DesktopUrlOpener::Open(const QString& url) {
    const QUrl parsed(url, QUrl::StrictMode);
    // Only web addresses: the text is built from what a camera reported, and
    // a file: or other scheme must never reach a handler.
    if (!parsed.isValid() || (parsed.scheme() != "http" && parsed.scheme() != "https")) return false;
    if (QDesktopServices::openUrl(parsed)) return true;
    for (const char* program : {"xdg-open", "x-www-browser"}) {
        if (QProcess::startDetached(QString::fromLatin1(program), {parsed.toString()})) return true;
    }
    return false;
}

}  // namespace orvanta
