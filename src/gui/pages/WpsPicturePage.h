// The WPS picture page: press WPS on the router, then Next.
#pragma once

#include "gui/framework/WizardPage.h"

namespace orvanta {

class WpsPicturePage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kRouterStep = 1302,
        kSpareStep = 1303,  // in the template, never shown
        kNextStep = 1304,
        kTitle = 1355,
        kBack = 1213,
        kNext = 1214,
    };

    explicit WpsPicturePage(QWidget* parent = nullptr);

private:
    void OnBack();
    void OnNext();
};

}  // namespace orvanta
