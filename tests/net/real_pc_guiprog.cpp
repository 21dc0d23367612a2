// The real wizard (offscreen) on one of the lab's PC shapes: what its first
// page says and shows, which card it takes (and, with OVR_CHOOSE, the card
// the user picks there), how long the search takes to the first camera, and
// a read of a camera in another subnet through the temporary address the
// wizard gives the chosen card. Prints one KEY=VALUE line per fact for the
// driver script to compare; exits 1 only when it cannot run at all.
//
// Environment: ORVANTA_SOURCE_DIR; OVR_LEASES (networkd-style lease folder),
// OVR_PEERS (a folder like /etc/ppp), OVR_NETWORKD_STATE; OVR_CHOOSE (card name);
// OVR_REMOTE_IP and OVR_REMOTE_MASK (the camera to read); OVR_SCREENSHOT
// (where to save a picture of the first page).
#include <net/if.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <memory>

#include "core/camera/NetworkCameraService.h"
#include "core/discovery/DiscoveryClient.h"
#include "core/base/AddressText.h"
#include "core/hostnet/TemporaryAddress.h"
#include "core/hostnet/linux/LinuxHostNetwork.h"
#include "core/i18n/IniFile.h"
#include "core/settings/FixedField.h"
#include "gui/app/WizardWindow.h"
#include "gui/framework/DesktopConnectivity.h"
#include "gui/pages/StartPage.h"
#include "support/FakeUrlOpener.h"
#include "support/ScriptedPrompter.h"
#include "support/SettingsPresets.h"

using namespace orvanta;

namespace {

std::string Env(const char* name) {
    const QByteArray v = qgetenv(name);
    return std::string(v.constData(), static_cast<std::size_t>(v.size()));
}

std::string CardName(uint32_t index) {
    char name[IF_NAMESIZE] = {};
    return index != 0 && if_indextoname(index, name) ? name : "-";
}

void PrintFirstPage(WizardWindow& dlg, const char* prefix) {
    const CameraSettings& s = dlg.Settings();
    QString text = dlg.FirstPage()->NetworkText();
    text.replace(QLatin1Char('\n'), QLatin1Char('|'));
    std::printf("%scard=%s\n", prefix, CardName(s.HostIfIndex).c_str());
    std::printf("%stext=%s\n", prefix, text.toUtf8().constData());
    std::printf("%spicture=%d\n", prefix, dlg.FirstPage()->NetworkPicture());
    std::printf("%shost=ip:%s gw:%s dhcp:%d noaddr:%d dialup:%d wireless:%d\n", prefix, s.HostIP, s.HostGateway,
                s.HostDHCP, s.HostNoAddress, s.HostDialUp, s.HostWireless);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString source = qEnvironmentVariable("ORVANTA_SOURCE_DIR");
    QTemporaryDir dir;
    if (source.isEmpty() || !dir.isValid()) return 1;
    const std::string base = dir.path().toStdString() + "/";
    QDir(dir.path()).mkpath(QStringLiteral("Language"));
    QDir(dir.path()).mkpath(QStringLiteral("config"));
    QFile::copy(source + QStringLiteral("/lang/English (ENG).ini"),
                dir.path() + QStringLiteral("/Language/English (ENG).ini"));
    WriteIniString(base + "config/defaultlang.ini", "DefaultLang", "LangFile", "English (ENG).ini");

    // The lab's own files instead of the host's: leases, the PPP account.
    hostnet::LinuxPaths paths;
    const std::string leases = Env("OVR_LEASES");
    if (!leases.empty()) {
        paths.networkdLeaseDir = leases;
        paths.nmDevicesDir = paths.nmLeaseDir = leases + "/none";
        paths.dhclientLeaseDirs = {};
    }
    const std::string peers = Env("OVR_PEERS");
    if (!peers.empty()) {
        paths.ppp.peersDir = peers + "/peers";
        paths.ppp.papSecrets = peers + "/pap-secrets";
        paths.ppp.chapSecrets = peers + "/chap-secrets";
    }
    hostnet::LinuxHostNetwork net(paths);
    testing::ScriptedPrompter prompter;
    testing::FakeUrlOpener urls;

    WizardWindowOptions options;
    options.hostNetwork = &net;
    options.prompter = &prompter;
    options.urlOpener = &urls;
    options.paths = std::make_unique<LanguagePaths>(base, base + "Language/", base + "config/");
    options.aliasStateFile.clear();
    options.removeStaleAliases = false;
    const QString networkd = qEnvironmentVariable("OVR_NETWORKD_STATE");
    options.desktopInternetState = [networkd] { return DesktopInternetState(networkd); };
    auto dlg = std::make_unique<WizardWindow>(std::move(options));
    dlg->Start();
    dlg->show();
    PrintFirstPage(*dlg, "");
    const QComboBox* offered = dlg->FirstPage()->CardChoice();
    std::printf("choices=%d\n", offered->isHidden() ? 0 : offered->count());
    std::printf("dialuser=%s\n", dlg->Settings().DialUser);

    const QString shot = qEnvironmentVariable("OVR_SCREENSHOT");
    const QString choose = qEnvironmentVariable("OVR_CHOOSE");
    if (!choose.isEmpty()) {
        QComboBox* choice = dlg->FirstPage()->CardChoice();
        const int row = choice->findText(choose + QLatin1Char(' '), Qt::MatchStartsWith);
        if (row >= 0) {
            choice->setCurrentIndex(row);
            emit choice->activated(row);
        }
        PrintFirstPage(*dlg, "chosen_");
    }
    if (!shot.isEmpty()) dlg->grab().save(shot);

    // The search as the page runs it, timed to the first camera.
    {
        discovery::DiscoverySettings quiet;
        quiet.diagnostics = false;
        discovery::DiscoveryClient client(quiet);
        QElapsedTimer clock;
        clock.start();
        int count = 0;
        for (int call = 0; clock.elapsed() < 10000 && count == 0; ++call) {
            count = static_cast<int>(client.Search(call == 0).cameras.size());
        }
        std::printf("search_ms=%lld\nfound=%d\n", static_cast<long long>(clock.elapsed()), count);
    }

    const std::string remote = Env("OVR_REMOTE_IP");
    if (!remote.empty()) {
        CameraSettings& s = dlg->Settings();
        testing::SelectedCamera(s, remote, Env("OVR_REMOTE_MASK").empty() ? "255.255.255.0" : Env("OVR_REMOTE_MASK"));
        const bool alias = hostnet::EnsureCameraSubnet(s, net, dlg->Aliases(), {1, 300});
        std::printf("alias=%s\n", alias ? "ok" : "failed");
        std::vector<AccessPointEntry> aps;
        const bool read = alias && NetworkCameraService().Read(s, aps, Deadline::Never()).ok();
        std::printf("read=%s\n", read ? "ok" : "failed");
    }
    std::fflush(stdout);
    dlg.reset();  // takes the temporary address away again
    return 0;
}
