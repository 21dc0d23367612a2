// The system page: the camera's host name and description, and how its
// clock is set (keep, take the PC's, typed by hand, or NTP).
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubSystem : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubSystem(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

protected slots:
    // What this page's own buttons do comes with the page's flow; until
    // then they do nothing.
    virtual void OnBack();
    virtual void OnNext();
};

}  // namespace orvanta
