// Opening a camera's web page in the user's browser. Pages call this seam so
// tests can record the address instead of starting a browser.
#pragma once

#include <QString>

namespace orvanta {

class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // Returns false when no way of opening the address worked.
    virtual bool Open(const QString& url) = 0;
};

// QDesktopServices first; when the desktop has no handler, xdg-open and then
// x-www-browser, started detached so the wizard never waits for a browser.
class DesktopUrlOpener : public UrlOpener {
public:
    bool Open(const QString& url) override;
};

}  // namespace orvanta
