#include "gui/app/CWizardDlg.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QPalette>

#include "core/camera/HttpTransport.h"
#include "core/camera/NetworkCameraService.h"
#include "core/hostnet/AdapterInventory.h"
#include "core/hostnet/DialUpCredentials.h"
#include "core/hostnet/HostNetwork.h"
#include "core/hostnet/TemporaryAddress.h"
#include "core/i18n/LanguageSelection.h"
#include "core/i18n/LocaleCodes.h"
#include "gui/app/AccessibleRoles.h"
#include "gui/controls/Art.h"
#include "gui/app/CSubWait.h"
#include "gui/app/CameraOperations.h"
#include "gui/framework/DesktopConnectivity.h"
#include "gui/app/QtPrompter.h"
#include "gui/framework/UrlOpener.h"
#include "gui/controls/CPictureFrame.h"
#include "gui/controls/CaptionLayout.h"
#include "gui/dialogs/CAboutDlg.h"
#include "gui/dialogs/CDlgLanguage.h"
#include "gui/pages/CSubAPScan.h"
#include "gui/pages/CSubChoose.h"
#include "gui/pages/CSubDDNS.h"
#include "gui/pages/CSubFirst.h"
#include "gui/pages/CSubLANIP.h"
#include "gui/pages/CSubLANISP.h"
#include "gui/pages/CSubLinkSer.h"
#include "gui/pages/CSubLogin.h"
#include "gui/pages/CSubOption.h"
#include "gui/pages/CSubPPPoE.h"
#include "gui/pages/CSubSearchNet.h"
#include "gui/pages/CSubSetAutoParam.h"
#include "gui/pages/CSubSetupFinish.h"
#include "gui/pages/CSubShowPic.h"
#include "gui/pages/CSubSystem.h"
#include "gui/pages/CSubUPnP.h"
#include "gui/pages/CSubWLANAP.h"
#include "gui/pages/CSubWLANIP.h"
#include "gui/pages/CSubWPS.h"
#include "gui/pages/CSubWPSPic.h"
#include "gui/pages/CSubWizardIP.h"

namespace orvanta {
namespace {

// Order in which captions are applied at start and after a language change.
constexpr int kCaptionOrder[kPageCount] = {
    kPageFirst,   kPageSearchNet, kPageChoose,  kPageOption,  kPageShowPic,     kPageWizardIP, kPageUPnP,
    kPageDDNS,    kPageLogin,     kPagePPPoE,   kPageSetupFinish, kPageWPSPic,  kPageWPS,      kPageLANISP,
    kPageLANIP,   kPageWLANIP,    kPageWLANAP,  kPageSystem,  kPageAPScan,      kPageLinkSer,  kPageSetAutoParam,
};

}  // namespace

CWizardDlg::CWizardDlg(WizardDlgOptions options, QWidget* parent)
    : QWidget(parent),
      options_(std::move(options)),
      timers_(options_.timers),
      transport_(options_.transport),
      deployment_(options_.deployment),
      added_(options_.aliasStateFile) {
    // Before anything asks Qt about this window: Qt keeps the first
    // accessibility interface it makes for an object.
    InstallAccessibleRoles();
    setObjectName(QStringLiteral("102"));
    setWindowTitle(QStringLiteral("Travolis2"));
    setAccessibleName(QStringLiteral("Travolis2"));
    setWindowIcon(art::Icon(art::kIconApp));
    setFixedSize(CWizardPage::DluX(395), CWizardPage::DluY(319));

    // White behind everything; the window's own static texts in its blue.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::WindowText, QColor(0x60, 0xAF, 0xFF));
    setPalette(pal);
    setAutoFillBackground(true);

    hostNet_ = options_.hostNetwork;
    if (hostNet_ == nullptr) {
        ownedHostNet_ = hostnet::MakeLinuxHostNetwork();
        hostNet_ = ownedHostNet_.get();
    }
    prompter_ = options_.prompter;
    if (prompter_ == nullptr) {
        ownedPrompter_ = std::make_unique<QtPrompter>();
        prompter_ = ownedPrompter_.get();
    }
    urlOpener_ = options_.urlOpener;
    if (urlOpener_ == nullptr) {
        ownedUrlOpener_ = std::make_unique<DesktopUrlOpener>();
        urlOpener_ = ownedUrlOpener_.get();
    }
    camera_ = options_.camera;
    if (camera_ == nullptr) {
        ownedCamera_ = std::make_unique<NetworkCameraService>(transport_);
        camera_ = ownedCamera_.get();
    }
    paths_ = options_.paths ? std::move(options_.paths) : std::make_unique<LanguagePaths>();

    // The record starts zero-filled with KeepConnecting set (its constructor).
    settings_ = CameraSettings();

    banner_ = new CPictureFrame(this);
    banner_->setObjectName(QStringLiteral("banner"));
    banner_->setAccessibleName(QStringLiteral("Orvanta"));
    banner_->setGeometry(CWizardPage::Dlu(0, 0, 397, 49));
    banner_->SetPicture(art::kBanner);

    // The invisible frame 1005 only marks where pages go.
    pageArea_ = new QWidget(this);
    pageArea_->setObjectName(QStringLiteral("1005"));
    pageArea_->setGeometry(CWizardPage::Dlu(0, 52, 394, 261));
    pageArea_->hide();

    context_.settings = &settings_;
    context_.prompter = prompter_;
    context_.urlOpener = urlOpener_;
    context_.hostNetwork = hostNet_;
    context_.camera = camera_;
    context_.timers = &timers_;
    context_.deployment = &deployment_;
    context_.language = &language_;
    context_.languageFilePath = &languageFilePath_;
    context_.mainWindow = this;
    context_.postCommand = [this](WizardCommand code) { PostCommand(code); };
    context_.sendCommand = [this](WizardCommand code) { HandleCommand(code); };

    cameraOps_ = std::make_unique<CameraOperations>(*this);

    // The about entry of the window menu (right click anywhere on the window).
    auto* about = new QAction(QStringLiteral("&About Wizard..."), this);
    about->setObjectName(QStringLiteral("aboutAction"));
    connect(about, &QAction::triggered, this, &CWizardDlg::ShowAbout);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    CreatePages();
}

CWizardDlg::~CWizardDlg() {
    // A connect still pending gives up at once; then the camera operations
    // end (their timers and any worker) while the pages and the wait window
    // they use still exist.
    SetKeepConnecting(settings_, false);
    cameraOps_.reset();
    // Only now that no worker can still be probing through the alias is it
    // taken away.
    hostnet::RemoveTemporaryAddresses(*hostNet_, added_);
    delete wait_;
    wait_ = nullptr;
    // Pages point at members of this window: they go before the members do
    // (the base class would delete them only after).
    for (CWizardPage*& page : pageObjects_) {
        delete page;
        page = nullptr;
    }
}

void CWizardDlg::CreatePages() {
    // Made in PageIndex order; each gets the context at once.
    pageObjects_[kPageFirst] = new CSubFirst(this);
    pageObjects_[kPageSearchNet] = new CSubSearchNet(this);
    pageObjects_[kPageOption] = new CSubOption(this);
    pageObjects_[kPageSystem] = new CSubSystem(this);
    pageObjects_[kPageShowPic] = new CSubShowPic(this);
    pageObjects_[kPageLANISP] = new CSubLANISP(this);
    pageObjects_[kPageLANIP] = new CSubLANIP(this);
    pageObjects_[kPageWLANAP] = new CSubWLANAP(this);
    pageObjects_[kPageWLANIP] = new CSubWLANIP(this);
    pageObjects_[kPageUPnP] = new CSubUPnP(this);
    pageObjects_[kPageDDNS] = new CSubDDNS(this);
    pageObjects_[kPageAPScan] = new CSubAPScan(this);
    pageObjects_[kPageWPS] = new CSubWPS(this);
    pageObjects_[kPageSetAutoParam] = new CSubSetAutoParam(this);
    pageObjects_[kPageWPSPic] = new CSubWPSPic(this);
    pageObjects_[kPageChoose] = new CSubChoose(this);
    pageObjects_[kPagePPPoE] = new CSubPPPoE(this);
    pageObjects_[kPageWizardIP] = new CSubWizardIP(this);
    pageObjects_[kPageLogin] = new CSubLogin(this);
    pageObjects_[kPageSetupFinish] = new CSubSetupFinish(this);
    pageObjects_[kPageLinkSer] = new CSubLinkSer(this);
    for (CWizardPage* page : pageObjects_) page->SetContext(&context_);
}

void CWizardDlg::Start() {
    if (started_) return;
    started_ = true;

    // The camera login is asked for afresh in every run.
    SetField(settings_.User, "");
    SetField(settings_.Password, "");

    settings_.Loaded = 0;
    settings_.HasWPS = 0;
    settings_.HasWireless = 0;
    settings_.Transversal = 0;
    settings_.HostDialUp = 0;
    settings_.HostAdapterFound = 0;

    // Aliases an earlier run could not remove (it was killed) go first, so
    // the inventory below does not see them as the PC's own addresses.
    if (options_.removeStaleAliases && !options_.aliasStateFile.empty())
        hostnet::RemoveStaleAliases(*hostNet_, options_.aliasStateFile);

    hostnet::FindActiveAdapter(settings_, *hostNet_);
    hostnet::ReadAdapterAddresses(settings_, *hostNet_);
    if (settings_.HostDialUp == 1) hostnet::ReadDialUpCredentials(settings_, *hostNet_);

    if (wait_ == nullptr) {
        wait_ = new CSubWait(this);
        wait_->hide();
        wait_->SetPos(0);
        wait_->SetText(QStringLiteral("Please Wait for few second ...... "));
    }

    // A deployment that names a probe host gets its answer; otherwise the
    // desktop's network manager is asked rather than reaching out to an
    // address nobody chose, and when nothing can tell the page says so
    // instead of calling the PC offline.
    if (deployment_.HasProbeHost()) {
        const std::string host = deployment_.probeHost.toStdString();
        const bool reached = ProbeInternet(transport_, host.c_str(), deployment_.probePort) == 0;
        settings_.internetReachable = static_cast<uint8_t>(reached ? kInternetYes : kInternetNo);
    } else {
        const int state = options_.desktopInternetState ? options_.desktopInternetState() : DesktopInternetState();
        settings_.internetReachable = static_cast<uint8_t>(
            state == kInternetYes || state == kInternetNo ? state : kInternetUnknown);
    }

    pages_.SetPageArea(pageArea_->geometry());
    for (CWizardPage* page : pageObjects_) {
        pages_.AddPage(page->TemplateId(), this, page);
        page->OnInitPage();
    }

    FirstPage()->SetCards(hostnet::CandidateAdapters(hostNet_->ListAdapters()));

    languageFileName_ = SelectLanguageAtStart(*paths_, [this] { return AskLanguage(); });
    languageFilePath_ = paths_->LanguageFilePath(languageFileName_);
    language_ = LanguageStrings(languageFilePath_);
    ApplyLanguageToAll();

    pages_.SetCurrentIndex(kPageFirst);
    pages_.ShowPage(kPageFirst);
    update();
}

void CWizardDlg::ApplyLanguageToAll() {
    art::SetPictureTexts(language_);
    for (CPictureFrame* picture : findChildren<CPictureFrame*>()) picture->Refresh();
    for (int index : kCaptionOrder) pageObjects_[static_cast<std::size_t>(index)]->ApplyLanguage(language_);
    messages_.Load(language_);
    FirstPage()->UpdateNetworkBox();
    for (CWizardPage* page : pageObjects_) FitCaptions(page);
}

std::string CWizardDlg::AskLanguage() {
    const std::vector<std::string> names = ListLanguageNames(paths_->LanguageDir());
    const int preselect = PreselectLanguageIndex(names, UserLanguageAbbreviation());
    CDlgLanguage dialog(names, preselect, chosenLanguage_, isVisible() ? this : nullptr);
    prompter_->RunModal(dialog);
    chosenLanguage_ = dialog.ChosenName();
    return chosenLanguage_;
}

void CWizardDlg::ChangeLanguageNow() {
    languageFileName_ = ChangeLanguage(*paths_, [this] { return AskLanguage(); });
    languageFilePath_ = paths_->LanguageFilePath(languageFileName_);
    language_ = LanguageStrings(languageFilePath_);
    ApplyLanguageToAll();
    if (CWizardPage* first = Page(kPageFirst)) first->repaint();
}

void CWizardDlg::ShowAbout() {
    CAboutDlg about(languageFilePath_, this);
    prompter_->RunModal(about);
    repaint();
}

void CWizardDlg::PostCommand(WizardCommand code) {
    QCoreApplication::postEvent(this, new WizardCommandEvent(code));
}

void CWizardDlg::HandleCommand(WizardCommand code) { OnWizardCommand(code); }

bool CWizardDlg::event(QEvent* event) {
    if (event->type() == WizardCommandEvent::EventType()) {
        OnWizardCommand(static_cast<WizardCommandEvent*>(event)->Code());
        return true;
    }
    return QWidget::event(event);
}

void CWizardDlg::closeEvent(QCloseEvent* event) { event->accept(); }

CWizardPage* CWizardDlg::Page(int index) const {
    if (index < 0 || index >= kPageCount) return nullptr;
    return pageObjects_[static_cast<std::size_t>(index)];
}

CSubFirst* CWizardDlg::FirstPage() const { return static_cast<CSubFirst*>(pageObjects_[kPageFirst]); }

QRect CWizardDlg::PageAreaRect() const { return pageArea_->geometry(); }

void CWizardDlg::ShowPage(int index, bool refresh) {
    if (refresh) Page(index)->LoadFromSettings();
    pages_.ShowPage(index);
}

void CWizardDlg::OnWizardCommand(WizardCommand code) {
    switch (code) {
        case cmd::kFirstPage:
            settings_.WizardMode = 1;
            settings_.LinkPPPoE = 0;
            settings_.UseWPS = 0;
            settings_.LinkWireless = 0;
            ShowPage(kPageFirst, false);
            break;
        case cmd::kSystemPage: ShowPage(kPageSystem, true); break;
        case cmd::kOptionPage: ShowPage(kPageOption, true); break;
        case cmd::kDiagramPage: ShowPage(kPageShowPic, true); break;
        case cmd::kIspPage: ShowPage(kPageLANISP, true); break;
        case cmd::kWlanApPage: ShowPage(kPageWLANAP, true); break;
        case cmd::kLanIpPage: ShowPage(kPageLANIP, true); break;
        case cmd::kWlanIpPage: ShowPage(kPageWLANIP, true); break;
        case cmd::kSearchPage: ShowPage(kPageSearchNet, true); break;
        case cmd::kServerLoginPage: ShowPage(kPageLogin, false); break;
        case cmd::kServerListPage: {
            // The list page takes the login page's entries and fills itself.
            auto* list = static_cast<CSubLinkSer*>(Page(kPageLinkSer));
            list->TakeEntries(*static_cast<CSubLogin*>(Page(kPageLogin)));
            ShowPage(kPageLinkSer, false);
            break;
        }
        case cmd::kUpnpPage: ShowPage(kPageUPnP, true); break;
        case cmd::kDdnsPage: ShowPage(kPageDDNS, true); break;
        case cmd::kEnsureSubnet: cameraOps_->EnsureCameraSubnet(); break;
        case cmd::kReadCamera: cameraOps_->ReadCamera(); break;
        case cmd::kSaveCamera: cameraOps_->SaveCamera(); break;
        // The pages below fill themselves on entry from what the camera
        // operations kept (scan list, probe result) through the context.
        case cmd::kApScanPage: ShowPage(kPageAPScan, true); break;
        case cmd::kSummaryPage: ShowPage(kPageSetAutoParam, true); break;
        case cmd::kScanNow: cameraOps_->ScanAccessPointsNow(); break;
        case cmd::kAbout: ShowAbout(); break;
        case cmd::kWpsPage: ShowPage(kPageWPS, true); break;
        case cmd::kWpsPicPage: ShowPage(kPageWPSPic, false); break;
        case cmd::kChoosePage: ShowPage(kPageChoose, true); break;
        case cmd::kPppoePage: ShowPage(kPagePPPoE, true); break;
        case cmd::kQuickIpPage: ShowPage(kPageWizardIP, true); break;
        case cmd::kSetupFinishPage: ShowPage(kPageSetupFinish, true); break;
        case cmd::kChangeLanguage: ChangeLanguageNow(); break;
        default:
            // 12, 16, 23, 25 and anything outside 2..32 do nothing.
            break;
    }
}

}  // namespace orvanta
