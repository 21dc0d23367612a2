// The DDNS page: dynamic DNS on or off, the provider and the account.
#pragma once

#include "gui/framework/WizardPage.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace orvanta {

class DdnsPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kEnableCheck = 1054,
        kProviderLabel = 1286,
        kProvider = 1122,
        kHostLabel = 1287,
        kHost = 1123,
        kUserLabel = 1288,
        kUser = 1124,
        kPasswordLabel = 1289,
        kPassword = 1125,
        kTitle = 1242,
        kBack = 1055,
        kNext = 1056,
    };

    explicit DdnsPage(QWidget* parent = nullptr);

    void OnInitPage() override;
    void LoadFromSettings() override;

private:
    void FillProviders(bool all);
    void OnEnableClicked();
    void OnBack();
    void OnNext();

    QCheckBox* enable_ = nullptr;
    QComboBox* provider_ = nullptr;
    QLineEdit* host_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
};

}  // namespace orvanta
