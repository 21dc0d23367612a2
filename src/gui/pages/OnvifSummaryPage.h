// What will change on the ONVIF camera, one line per setting with its value
// now and after, before anything is sent. "Set up the Camera" applies it on
// the worker; nothing to change leaves the button off.
#pragma once

#include "gui/framework/WizardPage.h"

namespace orvanta {

class OnvifSummaryPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kChangesBox = 3060,
        kChanges = 3061,
        kNote = 3062,
        kTitle = 3063,
        kBack = 3064,
        kSave = 3065,
    };

    explicit OnvifSummaryPage(QWidget* parent = nullptr);

    void LoadFromSettings() override;

    // The lines the page shows, in the page's language.
    QStringList ChangeLines() const;

private:
    void OnBack();
    void OnSave();

    QLabel* changes_ = nullptr;
    ToolbarButton* save_ = nullptr;
};

}  // namespace orvanta
