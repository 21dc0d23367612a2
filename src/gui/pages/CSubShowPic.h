// The connection diagram page: how to cable the camera for the chosen link.
#pragma once

#include "gui/framework/CWizardPage.h"

namespace orvanta {

class CSubShowPic : public CWizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kDiagram = 1267,
        kNote = 1263,
        kBack = 1044,
        kNext = 1045,
    };

    explicit CSubShowPic(QWidget* parent = nullptr);

    void LoadFromSettings() override;

private:
    void OnBack();
    void OnNext();

    CPictureFrame* diagram_ = nullptr;
};

}  // namespace orvanta
