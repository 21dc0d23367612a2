#include "gui/app/WizardApplication.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/hostnet/ExitSignals.h"
#include "core/i18n/LanguagePaths.h"
#include "core/base/Diagnostics.h"
#include "gui/controls/Art.h"
#include "gui/app/WizardWindow.h"
#include "gui/framework/DeploymentSettings.h"
#include "gui/app/KeySwallower.h"
#include "gui/app/QtPrompter.h"
#include "gui/app/SingleInstance.h"
#include "gui/framework/WizardPage.h"

#ifndef ORVANTA_VERSION
#define ORVANTA_VERSION "0.1.0"
#endif

namespace orvanta {
namespace {

constexpr const char* kUsage =
    "Usage: orvanta [OPTION]\n"
    "Set up a network camera on the local network, step by step.\n"
    "\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n"
    "  --measure-startup  print the time to the first page and the peak memory, then exit\n"
    "  --verbose          diagnostic lines on standard error (also ORVANTA_DEBUG=1)\n"
    "  --demo             (as root) run against three simulated cameras in a private\n"
    "                     network namespace, without touching the real network\n"
    "\n"
    "orvanta.ini beside the program names the host probed for Internet access\n"
    "and the camera-listing server ([Network] ProbeHost, ProbePort,\n"
    "ListingServerHost, ListingServerPort); ORVANTA_PROBE_HOST, ORVANTA_PROBE_PORT,\n"
    "ORVANTA_LISTING_HOST and ORVANTA_LISTING_PORT override them.\n";

bool HeadlessPlatform() {
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

long PeakRssKiB() {
    struct rusage usage {};
    if (getrusage(RUSAGE_SELF, &usage) != 0) return -1;
    return usage.ru_maxrss;  // KiB on Linux
}

// The demo is a script (it builds the namespace and starts the simulated
// cameras); it lies beside the program in a build tree and in
// ../libexec/orvanta/ when installed. The other arguments go with it.
int ExecDemo(int argc, char** argv) {
    const std::string folder = LanguagePaths::ExecutableFolder();
    std::vector<char*> args;
    args.push_back(nullptr);  // the script's path, below
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--demo") != 0) args.push_back(argv[i]);
    args.push_back(nullptr);
    for (std::string path : {folder + "orvanta-demo", folder + "../libexec/orvanta/orvanta-demo"}) {
        if (access(path.c_str(), X_OK) != 0) continue;
        args[0] = path.data();
        execv(path.c_str(), args.data());
    }
    std::fprintf(stderr,
                 "orvanta: the demo is not installed: it comes in the package orvanta-demo "
                 "(sudo apt install orvanta-demo); looked in %s and %s../libexec/orvanta/\n",
                 folder.c_str(), folder.c_str());
    return 1;
}

}  // namespace

int WizardApplication::HandleCommandLine(int argc, char** argv, bool& measureStartup) {
    measureStartup = false;
    if (const char* debug = std::getenv("ORVANTA_DEBUG"); debug && std::strcmp(debug, "1") == 0)
        SetDiagnosticSink(StreamDiagnosticSink(stderr));
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::printf("orvanta %s\n", ORVANTA_VERSION);
            return 0;
        }
        if (std::strcmp(arg, "--demo") == 0) return ExecDemo(argc, argv);
        if (std::strcmp(arg, "--measure-startup") == 0) {
            measureStartup = true;
            continue;
        }
        if (std::strcmp(arg, "--verbose") == 0) {
            SetDiagnosticSink(StreamDiagnosticSink(stderr));
            continue;
        }
        // Options Qt itself understands (-platform, -style, ...) pass on.
        if (std::strncmp(arg, "--", 2) == 0) {
            std::fprintf(stderr, "orvanta: unknown option '%s'\n%s", arg, kUsage);
            return 2;
        }
    }
    return -1;
}

int WizardApplication::Run(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    bool measure = false;
    const int early = HandleCommandLine(argc, argv, measure);
    if (early >= 0) return early;

    if (!hostnet::InstallExitSignals())
        std::fprintf(stderr, "orvanta: exit signals not watched; aliases are removed on normal exit only\n");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanta"));
    QApplication::setApplicationVersion(QStringLiteral(ORVANTA_VERSION));
    // Ties the windows to org.orvanta.Orvanta.desktop (Wayland's app id, the
    // task bar's icon); the default window icon covers every dialog as well.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvanta.Orvanta"));
    QApplication::setWindowIcon(art::Icon(art::kIconApp));

    // Before any dialog, probe or page: a second wizard only says so.
    SingleInstance instance;
    const SingleInstance::Result lock = instance.Acquire();
    if (lock == SingleInstance::Result::Failed)
        std::fprintf(stderr, "orvanta: no single-instance lock: %s\n", instance.Why().c_str());
    if (lock == SingleInstance::Result::AlreadyRunning) {
        std::fputs("Orvanta is already running\n", stderr);
        if (!HeadlessPlatform()) {
            QtPrompter prompter;
            prompter.Ask(nullptr, Prompt{QStringLiteral("Orvanta is already running"), QStringLiteral("Orvanta"),
                                         PromptIcon::Warning, PromptButtons::Ok});
        }
        return 0;
    }

    KeySwallower keys;
    app.installEventFilter(&keys);

    WizardWindowOptions options;
    options.deployment = DeploymentSettings::Load(DeploymentSettings::DefaultIniPath());
    WizardWindow dlg(std::move(options));

    // SIGINT/SIGTERM/SIGHUP close the window, so its destruction removes the
    // aliases the wizard added.
    std::unique_ptr<QSocketNotifier> exitNotifier;
    if (hostnet::ExitSignalFd() >= 0) {
        exitNotifier = std::make_unique<QSocketNotifier>(hostnet::ExitSignalFd(), QSocketNotifier::Read);
        QObject::connect(exitNotifier.get(), &QSocketNotifier::activated, &dlg, [&dlg, &exitNotifier] {
            exitNotifier->setEnabled(false);
            // A signal can arrive while a modal dialog runs its own loop
            // (the language chooser during start-up): close it first, or
            // the wizard would wait for an answer nobody gives.
            for (int guard = 0; guard < 8 && QApplication::activeModalWidget() != nullptr; ++guard)
                QApplication::activeModalWidget()->close();
            dlg.close();
            QCoreApplication::quit();
        });
    }

    dlg.Start();
    // Asked to end during start-up: the main loop was never entered, so the
    // quit above cannot end it; leave now (the window's destruction still
    // removes what it added).
    if (hostnet::ExitSignalReceived() != 0) return 0;
    dlg.show();

    if (measure) {
        QTimer::singleShot(0, &dlg, [&dlg, started] {
            const auto ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
            // The wall-clock moment lets a caller add the time before main()
            // (loading the libraries), which `ms` cannot see.
            const auto epochNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count();
            // The first page's button captions show whether the language
            // files were found (an installed copy without them shows blanks).
            QStringList captions;
            for (const QAbstractButton* button : dlg.Page(0)->findChildren<QAbstractButton*>())
                captions << button->text().simplified();
            std::printf("startup_ms=%.1f peak_rss_kib=%ld first_page_visible=%d first_page_epoch_ns=%lld "
                        "first_page_buttons=%s\n",
                        ms, PeakRssKiB(), dlg.Pages().CurrentIndex() == 0 && dlg.Page(0)->isVisible() ? 1 : 0,
                        static_cast<long long>(epochNs), captions.join(QLatin1Char('|')).toUtf8().constData());
            std::fflush(stdout);
            dlg.close();
            QCoreApplication::quit();
        });
    }
    return app.exec();
}

}  // namespace orvanta
