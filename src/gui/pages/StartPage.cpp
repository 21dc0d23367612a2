#include "gui/pages/StartPage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "gui/controls/Art.h"
#include "core/hostnet/AdapterInventory.h"
#include "core/base/AddressText.h"
#include "gui/framework/DeploymentSettings.h"
#include "gui/framework/DesktopConnectivity.h"
#include "gui/controls/PictureFrame.h"

namespace orvanta {
namespace {

// The lines the network box puts together.
constexpr const char* kLinkEthernet = "LinkTypeEthernet";
constexpr const char* kLinkPppoe = "LinkTypePPPOE";
constexpr const char* kLinkFixed = "LinkFixedIP";
constexpr const char* kLinkDynamic = "LinkDynamicIP";
constexpr const char* kLinkNone = "LinkNotConnect";
constexpr const char* kLinkUnknown = "LinkUnknown";

}  // namespace

StartPage::StartPage(QWidget* parent) : WizardPage(136, "FirstPage", parent) {
    AddGroupBox(0, Dlu(4, 14, 110, 236), QString());
    using Side = ToolbarButton::IconSide;
    search_ = AddIconButton(kSearchButton, Dlu(12, 30, 94, 30), QStringLiteral("Search Camera"), art::kIconSearch,
                            Side::Left);
    setup_ =
        AddIconButton(kSetupButton, Dlu(12, 72, 94, 30), QStringLiteral("Setup Camera"), art::kIconSetup, Side::Left);
    about_ = AddIconButton(kAboutButton, Dlu(12, 114, 94, 30), QStringLiteral("About Us"), art::kIconAbout, Side::Left);
    language_ = AddIconButton(kLanguageButton, Dlu(12, 156, 94, 30), QStringLiteral("Language"), art::kIconLanguage,
                              Side::Left);
    intranet_ = AddIconButton(kIntranetButton, Dlu(12, 198, 94, 30), QStringLiteral("Search Intranet"),
                              art::kIconIntranet, Side::Left);
    // The firmware path has no icon of its own and is never offered.
    upgrade_ = AddIconButton(kUpgradeButton, Dlu(12, 198, 94, 30), QStringLiteral("Firmware Upgrade"), 0, Side::Left);
    intranet_->hide();
    upgrade_->hide();
    upgrade_->setEnabled(false);

    networkBox_ = AddGroupBox(kNetworkBox, Dlu(120, 4, 266, 258), QStringLiteral("The Network Type"));
    picture_ = AddPicture(0, Dlu(124, 16, 258, 206), art::kFirstPppoe);
    picture_->setObjectName(QStringLiteral("%1.picture").arg(int(kNetworkBox)));
    picture_->setAccessibleName(QStringLiteral("The Network Type"));
    networkText_ = AddStatic(kNetworkText, Dlu(126, 226, 254, 32), QStringLiteral("NetwokInfo"));
    // Over the foot of the picture, shown only when there is a choice.
    cardChoice_ = AddCombo(0, Dlu(126, 208, 254, 13));
    cardChoice_->setObjectName(QStringLiteral("cardChoice"));
    cardChoice_->setAccessibleName(QStringLiteral("Network card"));
    cardChoice_->raise();
    cardChoice_->hide();

    Captions({{search_, "Btn_FindCam"},
              {setup_, "Btn_SetupCam"},
              {intranet_, "Btn_FindNet"},
              {about_, "Btn_About"},
              {language_, "Btn_Language"},
              {networkBox_, "NetworkType"}});
    KeptTexts({{kLinkEthernet, 512},
               {kLinkPppoe, 512},
               {kLinkFixed, 512},
               {kLinkDynamic, 512},
               {kLinkNone, 512},
               {kLinkUnknown, 512}});

    connect(search_, &QAbstractButton::clicked, this, &StartPage::OnSearchCamera);
    connect(setup_, &QAbstractButton::clicked, this, &StartPage::OnSetupCamera);
    connect(upgrade_, &QAbstractButton::clicked, this, &StartPage::OnFirmwareUpgrade);
    connect(intranet_, &QAbstractButton::clicked, this, &StartPage::OnSearchIntranet);
    connect(about_, &QAbstractButton::clicked, this, &StartPage::OnAbout);
    connect(language_, &QAbstractButton::clicked, this, &StartPage::OnLanguage);
    connect(cardChoice_, &QComboBox::activated, this, &StartPage::OnCardChosen);
}

void StartPage::OnInitPage() {
    Settings().StartSearch = 0;
    Settings().StartSetup = 0;
    Settings().StartUpgrade = 0;
    picture_->SetPicture(art::kFirstPppoe);
    // The server listing is offered only where a listing server is set up.
    const bool listing = Context()->deployment != nullptr && Context()->deployment->HasListingServer();
    intranet_->setVisible(listing);
}

void StartPage::ApplyLanguage(const LanguageStrings& lang) {
    WizardPage::ApplyLanguage(lang);
    picture_->setAccessibleName(networkBox_->title());
    const QString cardCaption = Text(lang, "NetworkCard", kCaptionCapacity);
    if (!cardCaption.isEmpty()) cardChoice_->setAccessibleName(cardCaption);
}

void StartPage::UpdateNetworkBox() {
    const CameraSettings& s = Settings();
    // Where nothing could tell, the box shows how the PC is linked, as when
    // it is online, and says the Internet is unknown rather than missing.
    const bool unknown = s.internetReachable == kInternetUnknown;
    const bool reachable = s.internetReachable == kInternetYes || unknown;
    const bool dialUp = s.HostDialUp == 1;
    const bool adapter = s.HostAdapterFound == 1;
    const QString address = Kept(s.HostDHCP == 1 ? kLinkDynamic : kLinkFixed);
    QString text;
    if (reachable) {
        if (dialUp && adapter) {
            picture_->SetPicture(art::kFirstPppoe);
            text = Kept(kLinkPppoe) + QLatin1Char('\n') + address;
        } else if (adapter) {
            picture_->SetPicture(art::kFirstRouter);
            text = Kept(kLinkEthernet) + QLatin1Char('\n') + address;
        } else if (dialUp) {
            picture_->SetPicture(art::kFirstPppoe);
            text = Kept(kLinkPppoe);
        } else {
            text = Kept(kLinkFixed);  // picture unchanged
        }
    } else {
        text = Kept(kLinkNone);
        if (adapter && !dialUp) picture_->SetPicture(art::kFirstNoInternet);
    }
    const QString unknownLine = Kept(kLinkUnknown);
    if (unknown && !unknownLine.isEmpty()) text += QLatin1Char('\n') + unknownLine;
    networkText_->setText(text);
    networkText_->setAccessibleName(text.isEmpty() ? QStringLiteral("Network type") : text);
}

void StartPage::SetCards(const std::vector<hostnet::Adapter>& cards) {
    cardChoice_->clear();
    for (const auto& card : cards) {
        QString label = QString::fromStdString(card.name);
        if (!card.addresses.empty()) {
            const std::string address = FormatIpv4(card.addresses.front().address);
            label += QStringLiteral(" (%1)").arg(QString::fromStdString(address));
        }
        cardChoice_->addItem(label, QVariant::fromValue(card.index));
        if (card.index == Settings().HostIfIndex) cardChoice_->setCurrentIndex(cardChoice_->count() - 1);
    }
    cardChoice_->setVisible(cards.size() > 1);
}

void StartPage::OnCardChosen(int row) {
    const uint32_t index = cardChoice_->itemData(row).toUInt();
    if (index == Settings().HostIfIndex || !Context() || !Context()->hostNetwork) return;
    // A card that went away since start-up keeps the one in use.
    if (!hostnet::ChooseAdapter(Settings(), *Context()->hostNetwork, index)) {
        for (int i = 0; i < cardChoice_->count(); ++i)
            if (cardChoice_->itemData(i).toUInt() == Settings().HostIfIndex) cardChoice_->setCurrentIndex(i);
        return;
    }
    UpdateNetworkBox();
}

int StartPage::NetworkPicture() const { return picture_->PictureId(); }
QString StartPage::NetworkText() const { return networkText_->text(); }

void StartPage::OnSearchCamera() {
    Settings().StartSearch = 1;
    Settings().StartSetup = 0;
    Settings().StartUpgrade = 0;
    PostCommand(WizardCommand::ShowSearchPage);
}

void StartPage::OnSetupCamera() {
    Settings().StartSetup = 1;
    Settings().StartSearch = 0;
    Settings().StartUpgrade = 0;
    PostCommand(WizardCommand::ShowSetupChoicePage);
}

void StartPage::OnFirmwareUpgrade() {
    Settings().StartUpgrade = 1;
    Settings().StartSearch = 0;
    Settings().StartSetup = 0;
    PostCommand(WizardCommand::ShowSearchPage);
}

void StartPage::OnSearchIntranet() { PostCommand(WizardCommand::ShowServerLoginPage); }
void StartPage::OnAbout() { PostCommand(WizardCommand::ShowAbout); }
void StartPage::OnLanguage() { PostCommand(WizardCommand::ChangeLanguage); }

}  // namespace orvanta
