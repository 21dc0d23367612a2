// A page on its own, wired to a context the test controls: a record, a
// scripted prompter, a fake browser, fast timers, a language file with short
// recognisable texts, and a log of every command the page posts or sends.
// Shared by the search, access point, WPS and server page tests.
#pragma once

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

#include "core/i18n/LanguageStrings.h"
#include "core/settings/CameraSettings.h"
#include "gui/framework/DeploymentSettings.h"
#include "gui/framework/KeptCameraResults.h"
#include "gui/framework/TimerSettings.h"
#include "gui/framework/WizardContext.h"
#include "gui/framework/CWizardPage.h"
#include "FakeCameraService.h"
#include "support/FakeUrlOpener.h"
#include "support/ScriptedPrompter.h"
#include "support/WizardFixture.h"

namespace orvanta::testing {

class PageHarness {
public:
    explicit PageHarness(const QString& languageText) {
        const QString path = dir_.path() + QStringLiteral("/lang.ini");
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(languageText.toUtf8());
        f.close();
        lang = LanguageStrings(path.toStdString());
        timers = FastTimers();
        ctx.settings = &settings;
        ctx.prompter = &prompter;
        ctx.urlOpener = &urls;
        ctx.camera = &camera;
        ctx.timers = &timers;
        ctx.deployment = &deployment;
        ctx.language = &lang;
        ctx.kept = &kept;
        ctx.postCommand = [this](WizardCommand c) {
            posted.push_back(c);
            events << QStringLiteral("post %1").arg(c);
        };
        ctx.sendCommand = [this](WizardCommand c) {
            events << QStringLiteral("send %1").arg(c);
        };
    }

    // Gives the page its context, its start values and its captions, as the
    // main window does at start-up.
    void Attach(CWizardPage& page) {
        page.SetContext(&ctx);
        page.OnInitPage();
        page.ApplyLanguage(lang);
    }

    // The prompts' texts, in order.
    QStringList PromptTexts() const {
        QStringList texts;
        for (const auto& p : prompter.Prompts()) texts << p.text;
        return texts;
    }

    CameraSettings settings;
    ScriptedPrompter prompter;
    FakeUrlOpener urls;
    FakeCameraService camera;
    TimerSettings timers;
    DeploymentSettings deployment;
    KeptCameraResults kept;
    LanguageStrings lang;
    WizardContext ctx;
    std::vector<WizardCommand> posted;
    // "post N", "send N" in the order they happened; tests add their own.
    QStringList events;

private:
    QTemporaryDir dir_;
};

}  // namespace orvanta::testing
