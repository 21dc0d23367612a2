#include "gui/framework/DeploymentSettings.h"

#include <QFileInfo>
#include <QSettings>

#include "core/i18n/LanguagePaths.h"

namespace orvanta {
namespace {

int ParsePort(const QString& text, int fallback) {
    bool ok = false;
    const int port = text.trimmed().toInt(&ok);
    return (ok && port >= 1 && port <= 65535) ? port : fallback;
}

void ApplyEnv(const char* name, QString& target) {
    if (qEnvironmentVariableIsSet(name)) target = qEnvironmentVariable(name).trimmed();
}

void ApplyEnvPort(const char* name, int& target) {
    if (qEnvironmentVariableIsSet(name)) target = ParsePort(qEnvironmentVariable(name), target);
}

}  // namespace

QString DeploymentSettings::DefaultIniPath() {
    const QString beside = QString::fromStdString(LanguagePaths::ExecutableFolder()) + QStringLiteral("orvanta.ini");
    if (QFileInfo::exists(beside)) return beside;
    return QString::fromStdString(LanguagePaths::InstalledDataFolder()) + QStringLiteral("orvanta.ini");
}

DeploymentSettings DeploymentSettings::Load(const QString& iniPath) {
    DeploymentSettings d;
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.beginGroup("Network");
    d.probeHost = ini.value("ProbeHost").toString().trimmed();
    d.probePort = ParsePort(ini.value("ProbePort").toString(), 80);
    d.listingHost = ini.value("ListingServerHost").toString().trimmed();
    d.listingPort = ParsePort(ini.value("ListingServerPort").toString(), 80);
    ini.endGroup();

    ApplyEnv("ORVANTA_PROBE_HOST", d.probeHost);
    ApplyEnvPort("ORVANTA_PROBE_PORT", d.probePort);
    ApplyEnv("ORVANTA_LISTING_HOST", d.listingHost);
    ApplyEnvPort("ORVANTA_LISTING_PORT", d.listingPort);
    return d;
}

}  // namespace orvanta
