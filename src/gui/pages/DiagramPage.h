// The connection diagram page: how to cable the camera for the chosen link.
#pragma once

#include "gui/framework/WizardPage.h"

namespace orvanta {

class DiagramPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kDiagram = 1267,
        kNote = 1263,
        kBack = 1044,
        kNext = 1045,
    };

    explicit DiagramPage(QWidget* parent = nullptr);

    void LoadFromSettings() override;

private:
    void OnBack();
    void OnNext();

    PictureFrame* diagram_ = nullptr;
};

}  // namespace orvanta
