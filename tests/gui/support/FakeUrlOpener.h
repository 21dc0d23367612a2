// Records the addresses the wizard asks to open instead of starting a browser.
#pragma once

#include <QStringList>

#include "gui/framework/UrlOpener.h"

namespace orvanta::testing {

class FakeUrlOpener : public UrlOpener {
public:
    bool Open(const QString& url) override {
        opened << url;
        return result;
    }
    QStringList opened;
    bool result = true;
};

}  // namespace orvanta::testing
