#include "gui/pages/ServerCameraListPage.h"

#include <QLabel>
#include <QTreeWidget>
#include <cstring>

#include "core/base/AddressText.h"
#include "core/settings/FixedField.h"
#include "gui/framework/UrlOpener.h"
#include "gui/pages/ServerLoginPage.h"
#include "gui/pages/CameraRowText.h"

namespace orvanta {
namespace {

enum Column { kColIp, kColId, kColPort, kColModel, kColMac };

template <std::size_t N>
QString EntryText(const char (&field)[N]) {
    return QString::fromLocal8Bit(field, static_cast<qsizetype>(strnlen(field, N)));
}

}  // namespace

ServerCameraListPage::ServerCameraListPage(QWidget* parent) : WizardPage(140, "ServerPage", parent) {
    QLabel* listLabel = AddStatic(kListLabel, Dlu(8, 30, 200, 10), QStringLiteral("Camera List "));
    list_ = AddList(kList, Dlu(8, 42, 373, 190),
                    {QStringLiteral("IP"), QStringLiteral("ID"), QStringLiteral("Port"), QStringLiteral("Model"),
                     QStringLiteral("Mac Address")});
    list_->setColumnWidth(kColIp, 120);
    list_->setColumnWidth(kColId, 120);
    list_->setColumnWidth(kColPort, 80);
    list_->setColumnWidth(kColModel, 120);
    list_->setColumnWidth(kColMac, 120);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    AddStepTitle(kTitle, "TitleServer", kCaptionCapacity, QStringLiteral("The camera on the Server"));

    Captions({{listLabel, "CamList"}});
    // Read with the other header texts, though this list has no such column.
    KeptTexts({{"CamListSport"}});

    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &ServerCameraListPage::OnBack);
    connect(AddFinishButton(kFinish, QStringLiteral("Finish")), &QAbstractButton::clicked, this, &ServerCameraListPage::OnNext);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &ServerCameraListPage::OnOpenCamera);
}

void ServerCameraListPage::ApplyLanguage(const LanguageStrings& lang) {
    WizardPage::ApplyLanguage(lang);
    CaptionListHeader(lang, list_,
                      {{kColIp, "CamListIP"}, {kColId, "CamListCamID"}, {kColPort, "CamListPort"},
                       {kColModel, "CamListDese"}, {kColMac, "CamListMAC"}});
}

void ServerCameraListPage::TakeEntries(const ServerLoginPage& login) {
    list_->clear();
    listed_.clear();
    for (const ServerCameraEntry& e : login.Entries()) {
        Listed camera;
        // The record has always held all ones for an address it could not read.
        camera.address = Ipv4Address::Parse(FieldText(e.IP)).value_or(Ipv4Address::Broadcast());
        ParseMac(FieldText(e.Mac_address), camera.mac);
        camera.web = CameraWebAddress(EntryText(e.IP), EntryText(e.Port));
        listed_.push_back(camera);
        // Server texts land in item texts, which Qt never reads as markup.
        auto* row = new QTreeWidgetItem;
        row->setText(kColIp, EntryText(e.IP));
        row->setText(kColId, EntryText(e.ID));
        row->setText(kColPort, EntryText(e.Port));
        row->setText(kColModel, EntryText(e.Modelname));
        row->setText(kColMac, EntryText(e.Mac_address));
        list_->addTopLevelItem(row);
    }
}

void ServerCameraListPage::OnOpenCamera() {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) return;
    const int index = list_->indexOfTopLevelItem(selected.first());
    if (index < 0 || index >= static_cast<int>(listed_.size())) return;
    const Listed& camera = listed_[static_cast<std::size_t>(index)];
    CameraSettings& s = Settings();
    s.CamAddr = camera.address.NetworkOrder();
    std::memcpy(s.CamMAC, camera.mac, sizeof s.CamMAC);
    if (Context() && Context()->urlOpener) Context()->urlOpener->Open(camera.web);
}

void ServerCameraListPage::OnBack() { PostCommand(WizardCommand::ShowServerLoginPage); }
void ServerCameraListPage::OnNext() { PostCommand(WizardCommand::StartOver); }

}  // namespace orvanta
