#include "gui/app/WizardWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QPalette>

#include "core/http/HttpTransport.h"
#include "core/camera/NetworkCameraService.h"
#include "core/hostnet/AdapterInventory.h"
#include "core/hostnet/DialUpCredentials.h"
#include "core/hostnet/HostNetwork.h"
#include "core/hostnet/TemporaryAddress.h"
#include "core/i18n/LanguageSelection.h"
#include "core/i18n/LocaleCodes.h"
#include "core/onvif/search/OnvifSearch.h"
#include "gui/app/OnvifOperations.h"
#include "gui/app/AccessibleRoles.h"
#include "gui/controls/Art.h"
#include "gui/app/WaitDialog.h"
#include "gui/app/CameraOperations.h"
#include "gui/framework/DesktopConnectivity.h"
#include "gui/app/QtPrompter.h"
#include "gui/framework/UrlOpener.h"
#include "gui/controls/PictureFrame.h"
#include "gui/controls/CaptionLayout.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/LanguageDialog.h"
#include "gui/pages/AccessPointScanPage.h"
#include "gui/pages/SetupChoicePage.h"
#include "gui/pages/DdnsPage.h"
#include "gui/pages/StartPage.h"
#include "gui/pages/LanAddressPage.h"
#include "gui/pages/IspLinkPage.h"
#include "gui/pages/ServerCameraListPage.h"
#include "gui/pages/ServerLoginPage.h"
#include "gui/pages/OptionPage.h"
#include "gui/pages/PppoePage.h"
#include "gui/pages/SearchPage.h"
#include "gui/pages/SummaryPage.h"
#include "gui/pages/SetupFinishedPage.h"
#include "gui/pages/DiagramPage.h"
#include "gui/pages/SystemPage.h"
#include "gui/pages/UpnpPortsPage.h"
#include "gui/pages/WirelessNetworkPage.h"
#include "gui/pages/WirelessAddressPage.h"
#include "gui/pages/WpsPage.h"
#include "gui/pages/WpsPicturePage.h"
#include "gui/pages/QuickAddressPage.h"
#include "gui/pages/OnvifAddressPage.h"
#include "gui/pages/OnvifClockPage.h"
#include "gui/pages/OnvifStreamsPage.h"
#include "gui/pages/OnvifFinishedPage.h"
#include "gui/pages/OnvifLoginPage.h"
#include "gui/pages/OnvifSummaryPage.h"

namespace orvanta {
namespace {

// Order in which captions are applied at start and after a language change.
constexpr int kCaptionOrder[kPageCount] = {
    kPageStart,   kPageSearch, kPageSetupChoice,  kPageOption,  kPageDiagram,     kPageQuickAddress, kPageUpnpPorts,
    kPageDynamicDns,    kPageServerLogin,     kPagePppoe,   kPageSetupFinished, kPageWpsPicture,  kPageWps,      kPageIspLink,
    kPageLanAddress,   kPageWirelessAddress,    kPageWirelessNetwork,  kPageSystem,  kPageAccessPointScan,      kPageServerCameraList,  kPageSummary,
    kPageOnvifLogin, kPageOnvifAddress, kPageOnvifClock, kPageOnvifStreams, kPageOnvifSummary, kPageOnvifFinished,
};

// The ONVIF search listens a little less than the six ticks of ours, so
// what it heard is in the list before the search ends.
constexpr std::chrono::milliseconds kOnvifSearchDuration{5000};

}  // namespace

WizardWindow::WizardWindow(WizardWindowOptions options, QWidget* parent)
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
    setFixedSize(WizardPage::DluX(395), WizardPage::DluY(319));

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
    onvif::OnvifSearch* onvifSearch = options_.onvifSearch;
    if (onvifSearch == nullptr) {
        onvif::OnvifDiscoverySettings search;
        search.duration = kOnvifSearchDuration;
        ownedOnvifSearch_ = onvif::MakeNetworkOnvifSearch(search);
        onvifSearch = ownedOnvifSearch_.get();
    }
    paths_ = options_.paths ? std::move(options_.paths) : std::make_unique<LanguagePaths>();

    // The record starts zero-filled with KeepConnecting set (its constructor).
    settings_ = CameraSettings();

    banner_ = new PictureFrame(this);
    banner_->setObjectName(QStringLiteral("banner"));
    banner_->setAccessibleName(QStringLiteral("Orvanta"));
    banner_->setGeometry(WizardPage::Dlu(0, 0, 397, 49));
    banner_->SetPicture(art::kBanner);

    // The invisible frame 1005 only marks where pages go.
    pageArea_ = new QWidget(this);
    pageArea_->setObjectName(QStringLiteral("1005"));
    pageArea_->setGeometry(WizardPage::Dlu(0, 52, 394, 261));
    pageArea_->hide();

    context_.settings = &settings_;
    context_.prompter = prompter_;
    context_.urlOpener = urlOpener_;
    context_.hostNetwork = hostNet_;
    context_.camera = camera_;
    context_.onvifSearch = onvifSearch;
    context_.onvifSetup = &onvifSetup_;
    context_.timers = &timers_;
    context_.deployment = &deployment_;
    context_.language = &language_;
    context_.languageFilePath = &languageFilePath_;
    context_.mainWindow = this;
    context_.postCommand = [this](WizardCommand command) { PostCommand(command); };
    context_.sendCommand = [this](WizardCommand command) { HandleCommand(command); };

    cameraOps_ = std::make_unique<CameraOperations>(*this);
    onvifOps_ = std::make_unique<OnvifOperations>(*this, options_.onvif);
    context_.onvif = &onvifOps_->Service();

    // The about entry of the window menu (right click anywhere on the window).
    auto* about = new QAction(QStringLiteral("&About Wizard..."), this);
    about->setObjectName(QStringLiteral("aboutAction"));
    connect(about, &QAction::triggered, this, &WizardWindow::ShowAbout);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    CreatePages();
}

WizardWindow::~WizardWindow() {
    // A connect still pending gives up at once; then the camera operations
    // end (their timers and any worker) while the pages and the wait window
    // they use still exist.
    SetKeepConnecting(settings_, false);
    cameraOps_.reset();
    onvifOps_.reset();
    if (context_.onvifSearch) context_.onvifSearch->End();
    // Only now that no worker can still be probing through the alias is it
    // taken away.
    hostnet::RemoveTemporaryAddresses(*hostNet_, added_);
    delete wait_;
    wait_ = nullptr;
    // Pages point at members of this window: they go before the members do
    // (the base class would delete them only after).
    for (WizardPage*& page : pageObjects_) {
        delete page;
        page = nullptr;
    }
}

void WizardWindow::CreatePages() {
    // Made in PageIndex order; each gets the context at once.
    pageObjects_[kPageStart] = new StartPage(this);
    pageObjects_[kPageSearch] = new SearchPage(this);
    pageObjects_[kPageOption] = new OptionPage(this);
    pageObjects_[kPageSystem] = new SystemPage(this);
    pageObjects_[kPageDiagram] = new DiagramPage(this);
    pageObjects_[kPageIspLink] = new IspLinkPage(this);
    pageObjects_[kPageLanAddress] = new LanAddressPage(this);
    pageObjects_[kPageWirelessNetwork] = new WirelessNetworkPage(this);
    pageObjects_[kPageWirelessAddress] = new WirelessAddressPage(this);
    pageObjects_[kPageUpnpPorts] = new UpnpPortsPage(this);
    pageObjects_[kPageDynamicDns] = new DdnsPage(this);
    pageObjects_[kPageAccessPointScan] = new AccessPointScanPage(this);
    pageObjects_[kPageWps] = new WpsPage(this);
    pageObjects_[kPageSummary] = new SummaryPage(this);
    pageObjects_[kPageWpsPicture] = new WpsPicturePage(this);
    pageObjects_[kPageSetupChoice] = new SetupChoicePage(this);
    pageObjects_[kPagePppoe] = new PppoePage(this);
    pageObjects_[kPageQuickAddress] = new QuickAddressPage(this);
    pageObjects_[kPageServerLogin] = new ServerLoginPage(this);
    pageObjects_[kPageSetupFinished] = new SetupFinishedPage(this);
    pageObjects_[kPageServerCameraList] = new ServerCameraListPage(this);
    pageObjects_[kPageOnvifLogin] = new OnvifLoginPage(this);
    pageObjects_[kPageOnvifAddress] = new OnvifAddressPage(this);
    pageObjects_[kPageOnvifClock] = new OnvifClockPage(this);
    pageObjects_[kPageOnvifSummary] = new OnvifSummaryPage(this);
    pageObjects_[kPageOnvifFinished] = new OnvifFinishedPage(this);
    pageObjects_[kPageOnvifStreams] = new OnvifStreamsPage(this);
    for (WizardPage* page : pageObjects_) page->SetContext(&context_);
}

void WizardWindow::Start() {
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
        wait_ = new WaitDialog(this);
        wait_->hide();
        wait_->SetPos(0);
        wait_->SetText(QStringLiteral("Please Wait for few second ...... "));
    }

    // A deployment that names a probe host gets its answer; otherwise the
    // desktop's network manager is asked rather than reaching out to an
    // address nobody chose, and when nothing can tell the page says so
    // instead of calling the PC offline.
    // The probe's answer comes from the worker; until then the box says the
    // Internet is unknown.
    if (deployment_.HasProbeHost()) {
        settings_.internetReachable = kInternetUnknown;
        probe_.Start(transport_, deployment_.probeHost.toStdString(), deployment_.probePort, [this](bool reached) {
            settings_.internetReachable = static_cast<uint8_t>(reached ? kInternetYes : kInternetNo);
            FirstPage()->UpdateNetworkBox();
        });
    } else {
        const int state = options_.desktopInternetState ? options_.desktopInternetState() : DesktopInternetState();
        settings_.internetReachable = static_cast<uint8_t>(
            state == kInternetYes || state == kInternetNo ? state : kInternetUnknown);
    }

    pages_.SetPageArea(pageArea_->geometry());
    for (WizardPage* page : pageObjects_) {
        pages_.AddPage(this, page);
        page->OnInitPage();
    }

    FirstPage()->SetCards(hostnet::CandidateAdapters(hostNet_->ListAdapters()));

    languageFileName_ = SelectLanguageAtStart(*paths_, [this] { return AskLanguage(); });
    languageFilePath_ = paths_->LanguageFilePath(languageFileName_);
    language_ = LanguageStrings(languageFilePath_);
    ApplyLanguageToAll();

    pages_.SetCurrentIndex(kPageStart);
    pages_.ShowPage(kPageStart);
    update();
}

void WizardWindow::ApplyLanguageToAll() {
    art::SetPictureTexts(language_);
    for (PictureFrame* picture : findChildren<PictureFrame*>()) picture->Refresh();
    for (int index : kCaptionOrder) pageObjects_[static_cast<std::size_t>(index)]->ApplyLanguage(language_);
    messages_.Load(language_);
    FirstPage()->UpdateNetworkBox();
    for (WizardPage* page : pageObjects_) FitCaptions(page);
}

std::string WizardWindow::AskLanguage() {
    const std::vector<std::string> names = ListLanguageNames(paths_->LanguageDir());
    const int preselect = PreselectLanguageIndex(names, UserLanguageAbbreviation());
    LanguageDialog dialog(names, preselect, chosenLanguage_, isVisible() ? this : nullptr);
    prompter_->RunModal(dialog);
    chosenLanguage_ = dialog.ChosenName();
    return chosenLanguage_;
}

void WizardWindow::ChangeLanguageNow() {
    languageFileName_ = ChangeLanguage(*paths_, [this] { return AskLanguage(); });
    languageFilePath_ = paths_->LanguageFilePath(languageFileName_);
    language_ = LanguageStrings(languageFilePath_);
    ApplyLanguageToAll();
    if (WizardPage* first = Page(kPageStart)) first->repaint();
}

void WizardWindow::ShowAbout() {
    AboutDialog about(languageFilePath_, this);
    prompter_->RunModal(about);
    repaint();
}

void WizardWindow::PostCommand(WizardCommand command) {
    QCoreApplication::postEvent(this, new WizardCommandEvent(command));
}

void WizardWindow::HandleCommand(WizardCommand command) { OnWizardCommand(command); }

bool WizardWindow::event(QEvent* event) {
    if (event->type() == WizardCommandEvent::EventType()) {
        OnWizardCommand(static_cast<WizardCommandEvent*>(event)->Command());
        return true;
    }
    return QWidget::event(event);
}

void WizardWindow::closeEvent(QCloseEvent* event) {
    // A camera that moved is waited for no longer.
    onvifOps_->Cancel();
    event->accept();
}

WizardPage* WizardWindow::Page(int index) const {
    if (index < 0 || index >= kPageCount) return nullptr;
    return pageObjects_[static_cast<std::size_t>(index)];
}

StartPage* WizardWindow::FirstPage() const { return static_cast<StartPage*>(pageObjects_[kPageStart]); }

QRect WizardWindow::PageAreaRect() const { return pageArea_->geometry(); }

void WizardWindow::ShowPage(int index, bool refresh) {
    if (refresh) Page(index)->LoadFromSettings();
    pages_.ShowPage(index);
}

void WizardWindow::OnWizardCommand(WizardCommand command) {
    switch (command) {
        case WizardCommand::StartOver:
            settings_.WizardMode = 1;
            settings_.LinkPPPoE = 0;
            settings_.UseWPS = 0;
            settings_.LinkWireless = 0;
            ShowPage(kPageStart, false);
            break;
        case WizardCommand::ShowSystemPage: ShowPage(kPageSystem, true); break;
        case WizardCommand::ShowOptionPage: ShowPage(kPageOption, true); break;
        case WizardCommand::ShowDiagramPage: ShowPage(kPageDiagram, true); break;
        case WizardCommand::ShowIspLinkPage: ShowPage(kPageIspLink, true); break;
        case WizardCommand::ShowWirelessNetworkPage: ShowPage(kPageWirelessNetwork, true); break;
        case WizardCommand::ShowLanAddressPage: ShowPage(kPageLanAddress, true); break;
        case WizardCommand::ShowWirelessAddressPage: ShowPage(kPageWirelessAddress, true); break;
        case WizardCommand::ShowSearchPage: ShowPage(kPageSearch, true); break;
        case WizardCommand::ShowServerLoginPage: ShowPage(kPageServerLogin, false); break;
        case WizardCommand::ShowServerCameraListPage: {
            // The list page takes the login page's entries and fills itself.
            auto* list = static_cast<ServerCameraListPage*>(Page(kPageServerCameraList));
            list->TakeEntries(*static_cast<ServerLoginPage*>(Page(kPageServerLogin)));
            ShowPage(kPageServerCameraList, false);
            break;
        }
        case WizardCommand::ShowUpnpPortsPage: ShowPage(kPageUpnpPorts, true); break;
        case WizardCommand::ShowDdnsPage: ShowPage(kPageDynamicDns, true); break;
        case WizardCommand::EnsureCameraSubnet: cameraOps_->EnsureCameraSubnet(); break;
        case WizardCommand::ReadCamera: cameraOps_->ReadCamera(); break;
        case WizardCommand::SaveCamera: cameraOps_->SaveCamera(); break;
        // The pages below fill themselves on entry from what the camera
        // operations kept (scan list, probe result) through the context.
        case WizardCommand::ShowAccessPointScanPage: ShowPage(kPageAccessPointScan, true); break;
        case WizardCommand::ShowSummaryPage: ShowPage(kPageSummary, true); break;
        case WizardCommand::ScanAccessPoints: cameraOps_->ScanAccessPointsNow(); break;
        case WizardCommand::ShowAbout: ShowAbout(); break;
        case WizardCommand::ShowWpsPage: ShowPage(kPageWps, true); break;
        case WizardCommand::ShowWpsPicturePage: ShowPage(kPageWpsPicture, false); break;
        case WizardCommand::ShowSetupChoicePage: ShowPage(kPageSetupChoice, true); break;
        case WizardCommand::ShowPppoePage: ShowPage(kPagePppoe, true); break;
        case WizardCommand::ShowQuickAddressPage: ShowPage(kPageQuickAddress, true); break;
        case WizardCommand::ShowSetupFinishedPage: ShowPage(kPageSetupFinished, true); break;
        case WizardCommand::ChangeLanguage: ChangeLanguageNow(); break;
        case WizardCommand::ShowOnvifLoginPage: ShowPage(kPageOnvifLogin, true); break;
        case WizardCommand::OnvifLogin: onvifOps_->Login(); break;
        case WizardCommand::ShowOnvifAddressPage: ShowPage(kPageOnvifAddress, true); break;
        case WizardCommand::ShowOnvifClockPage: ShowPage(kPageOnvifClock, true); break;
        case WizardCommand::ShowOnvifStreamsPage: ShowPage(kPageOnvifStreams, true); break;
        case WizardCommand::ShowOnvifSummaryPage: ShowPage(kPageOnvifSummary, true); break;
        case WizardCommand::ApplyOnvifChange: onvifOps_->Apply(); break;
        case WizardCommand::ShowOnvifFinishedPage: ShowPage(kPageOnvifFinished, true); break;
        case WizardCommand::EnsureOnvifReachable: onvifOps_->EnsureReachable(); break;
        case WizardCommand::ShowOnvifPicture: onvifOps_->ShowPicture(); break;
        case WizardCommand::UpgradeOnvifFirmware: onvifOps_->UpgradeFirmware(); break;
    }
}

}  // namespace orvanta
