// The first page: the wizard's main paths as large buttons, and a box that
// shows how this PC itself is connected (a picture and one or two lines).
#pragma once

#include <QString>

#include "gui/pages/CWizardPage.h"

class QGroupBox;
class QLabel;

namespace orvanta {

class CSubFirst : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubFirst(QWidget* parent = nullptr);

    void OnInitPage() override;
    void ApplyLanguage(const LanguageStrings& lang) override;

    // Fills the network-type box from internetReachable, HostDialUp,
    // HostAdapterFound and HostDHCP. Called at start and after a language
    // change.
    void UpdateNetworkBox();

    // The picture number now in the box and its text, for tests.
    int NetworkPicture() const;
    QString NetworkText() const;

private slots:
    void OnSearchCamera();
    void OnSetupCamera();
    void OnFirmwareUpgrade();
    void OnSearchIntranet();
    void OnAbout();
    void OnLanguage();

private:
    CXButtonXP* search_;
    CXButtonXP* setup_;
    CXButtonXP* about_;
    CXButtonXP* language_;
    CXButtonXP* intranet_;
    CXButtonXP* upgrade_;
    QGroupBox* networkBox_;
    CPictureFrame* picture_;
    QLabel* networkText_;

    QString linkEthernet_;
    QString linkPppoe_;
    QString linkFixed_;
    QString linkDynamic_;
    QString linkNone_;
};

}  // namespace orvanta
