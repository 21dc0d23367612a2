// What the manual-path page tests share: a started main window with a small
// language file, every command a page posts recorded instead of run, and
// small helpers to act on controls the way a user does.
#pragma once

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <memory>
#include <vector>

#include "gui/framework/CWizardPage.h"
#include "support/WizardFixture.h"

namespace orvanta::testing {

inline const QString kManualLanguage = QStringLiteral(
    "[Common]\nBtnBack=Back\nBtnNext=Next\n"
    "[LANISPPage]\nMessage1=The passwords differ\n"
    "[LANPage]\nMessage1=Set up the wireless link too?\n"
    "[WLANAPPage]\nMessage1=Hex keys take 0-9 and A-F only\n");

class ManualHarness {
public:
    ManualHarness() {
        fx.WriteLanguage(QStringLiteral("English (ENG).ini"), kManualLanguage);
        fx.RememberLanguage(QStringLiteral("English (ENG).ini"));
        fx.Start();
        // Posted commands are kept for the test to check; nothing moves on.
        fx.Dlg().Context().postCommand = [this](WizardCommand code) { posted.push_back(code); };
    }

    template <class Page>
    Page* Show(WizardCommand code, int index) {
        fx.Dlg().HandleCommand(code);
        return static_cast<Page*>(fx.Dlg().Page(index));
    }

    CameraSettings& S() { return fx.Settings(); }
    WizardCommand LastPosted() const { return posted.empty() ? 0 : posted.back(); }

    // The last message box, or an empty record.
    ScriptedPrompter::Record LastPrompt() const {
        return fx.prompter.Prompts().empty() ? ScriptedPrompter::Record{} : fx.prompter.Prompts().back();
    }

    WizardFixture fx;
    std::vector<WizardCommand> posted;
};

// A control of `page` by its id; a missing one ends the program at once
// (the test would only crash on it later).
template <class T>
T* On(CWizardPage* page, int id) {
    T* c = page->Control<T>(id);
    if (!c) qFatal("control %d missing", id);
    return c;
}

// A user's choice in a list: the selection and the notification.
inline void Choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Types `text` at the cursor one character at a time, any character
// (QTest::keyClicks takes Latin-1 only).
inline void TypeAtCursor(QWidget* edit, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(edit, &release);
    }
}

// Replaces an edit's text by typing, so that typing limits apply.
inline void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    TypeAtCursor(edit, text);
}

}  // namespace orvanta::testing
