#include "support/WizardFixture.h"

#include <QDir>
#include <QFile>

#include "core/i18n/IniFile.h"
#include "core/i18n/LanguagePaths.h"

namespace orvanta::testing {

TimerSettings FastTimers() {
    TimerSettings t;
    t.readTickMs = 5;
    t.saveTickMs = 5;
    t.refindTickMs = 5;
    t.searchTickMs = 5;
    t.wpsTickMs = 5;
    return t;
}

WizardFixture::WizardFixture() {
    QDir(dir_.path()).mkpath(QStringLiteral("Language"));
    QDir(dir_.path()).mkpath(QStringLiteral("config"));
}

WizardFixture::~WizardFixture() { dlg_.reset(); }

QString WizardFixture::LanguageDir() const { return dir_.path() + QStringLiteral("/Language/"); }
QString WizardFixture::ConfigDir() const { return dir_.path() + QStringLiteral("/config/"); }

void WizardFixture::WriteLanguage(const QString& fileName, const QString& content) {
    lastLanguageFile_ = LanguageDir() + fileName;
    QFile f(lastLanguageFile_);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(content.toUtf8());
}

void WizardFixture::CopyShippedLanguages(const QString& sourceDir) {
    const QDir lang(sourceDir + QStringLiteral("/lang"));
    for (const QString& name : lang.entryList({QStringLiteral("*.ini")}, QDir::Files))
        QFile::copy(lang.filePath(name), LanguageDir() + name);
}

void WizardFixture::RememberLanguage(const QString& fileName) {
    WriteIniString((ConfigDir() + QStringLiteral("defaultlang.ini")).toStdString(), "DefaultLang", "LangFile",
                   fileName.toStdString());
}

QString WizardFixture::RememberedLanguage() const {
    return QString::fromStdString(
        ReadIniString((ConfigDir() + QStringLiteral("defaultlang.ini")).toStdString(), "DefaultLang", "LangFile"));
}

WizardWindow& WizardFixture::Make(const DeploymentSettings& deployment) {
    WizardWindowOptions options;
    options.hostNetwork = realNetwork ? realNetwork : &net;
    if (!networkCamera) {
        options.camera = &camera;
        options.onvif = &onvif;
        options.onvifSearch = &onvifSearch;
    }
    options.prompter = &prompter;
    options.urlOpener = &urls;
    options.timers = timers;
    options.deployment = deployment;
    options.paths = std::make_unique<LanguagePaths>(dir_.path().toStdString() + "/", LanguageDir().toStdString(),
                                                    ConfigDir().toStdString());
    options.aliasStateFile.clear();
    options.removeStaleAliases = false;
    options.desktopInternetState = [this] { return desktopInternet; };
    dlg_ = std::make_unique<WizardWindow>(std::move(options));
    return *dlg_;
}

WizardWindow& WizardFixture::Start(const DeploymentSettings& deployment) {
    Make(deployment);
    dlg_->Start();
    return *dlg_;
}

WizardWindow& WizardFixture::StartWithLanguage(const QString& languageText) {
    WriteLanguage(QStringLiteral("English (ENG).ini"), languageText);
    RememberLanguage(QStringLiteral("English (ENG).ini"));
    return Start();
}

WizardWindow& WizardFixture::StartInShippedEnglish(const QString& sourceDir, const DeploymentSettings& deployment) {
    CopyShippedLanguages(sourceDir);
    RememberLanguage(QStringLiteral("English (ENG).ini"));
    return Start(deployment);
}

void WizardFixture::RecordPostedCommands() {
    dlg_->Context().postCommand = [this](WizardCommand command) { posted.push_back(command); };
}

QStringList WizardFixture::PromptTexts() const {
    QStringList texts;
    for (const auto& p : prompter.Prompts()) texts << p.text;
    return texts;
}

void WizardFixture::MakePageContext() {
    // The file is read once, when the first page is attached.
    pageLanguagePath_ = lastLanguageFile_.toStdString();
    pageLanguage_ = LanguageStrings(pageLanguagePath_);
    pageContext_.languageFilePath = &pageLanguagePath_;
    pageContext_.settings = &pageRecord_;
    pageContext_.prompter = &prompter;
    pageContext_.urlOpener = &urls;
    pageContext_.camera = &camera;
    pageContext_.onvifSearch = &onvifSearch;
    pageContext_.onvif = &onvif;
    pageContext_.onvifSetup = &onvifSetup;
    pageContext_.timers = &timers;
    pageContext_.deployment = &deployment;
    pageContext_.language = &pageLanguage_;
    pageContext_.kept = &kept;
    pageContext_.postCommand = [this](WizardCommand command) {
        posted.push_back(command);
        events << QStringLiteral("post");
    };
    pageContext_.sendCommand = [this](WizardCommand command) {
        sent.push_back(command);
        events << QStringLiteral("send");
    };
    // Pages without a window run their camera work in place, on a copy of
    // the record as the window's worker would; the window's own runner is
    // tested with the window.
    pageContext_.runCameraWork = [this](CameraWork work) {
        ++pageWorks;
        CameraSettings copy = pageRecord_;
        work.run(camera, copy);
        if (work.finished) work.finished(copy);
        return true;
    };
    pageContextMade_ = true;
}

void WizardFixture::AttachPage(WizardPage& page) {
    if (!pageContextMade_) MakePageContext();
    page.SetContext(&pageContext_);
    page.OnInitPage();
    page.ApplyLanguage(pageLanguage_);
}

}  // namespace orvanta::testing
