// The first page: the wizard's main paths as large buttons, and a box that
// shows how this PC itself is connected (a picture and one or two lines).
#pragma once

#include <QString>
#include <vector>

#include "core/hostnet/HostNetwork.h"
#include "gui/framework/WizardPage.h"

class QComboBox;
class QGroupBox;
class QLabel;

namespace orvanta {

class StartPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kSearchButton = 1013,
        kSetupButton = 1006,
        kAboutButton = 1050,
        kLanguageButton = 1348,
        kIntranetButton = 1012,
        kUpgradeButton = 1049,
        kNetworkBox = 1246,
        kNetworkText = 1221,
    };

    explicit StartPage(QWidget* parent = nullptr);

    void OnInitPage() override;
    void ApplyLanguage(const LanguageStrings& lang) override;

    // Fills the network-type box from internetReachable, HostDialUp,
    // HostAdapterFound and HostDHCP. Called at start and after a language
    // change.
    void UpdateNetworkBox();

    // The PC's candidate cards, in the inventory's order. With more than
    // one, the box offers a choice naming the card in use (HostIfIndex);
    // picking another makes it the adapter in use for everything after.
    void SetCards(const std::vector<hostnet::Adapter>& cards);
    QComboBox* CardChoice() const { return cardChoice_; }

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
    void OnCardChosen(int row);

private:
    ToolbarButton* search_;
    ToolbarButton* setup_;
    ToolbarButton* about_;
    ToolbarButton* language_;
    ToolbarButton* intranet_;
    ToolbarButton* upgrade_;
    QGroupBox* networkBox_;
    PictureFrame* picture_;
    QLabel* networkText_;
    QComboBox* cardChoice_;
};

}  // namespace orvanta
