// The PPPoE page: the camera's PPPoE account in the guided setup, offering
// the user name of the PC's own dial-up connection as a start.
#pragma once

#include "gui/framework/WizardPage.h"

namespace orvanta {

class PppoePage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kUserLabel = 1294,
        kUser = 1222,
        kPasswordLabel = 1295,
        kPassword = 1223,
        kTitle = 1349,
        kBack = 1225,
        kNext = 1224,
    };

    explicit PppoePage(QWidget* parent = nullptr);

    void LoadFromSettings() override;

protected slots:
    virtual void OnBack();
    virtual void OnNext();

private:
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
};

}  // namespace orvanta
