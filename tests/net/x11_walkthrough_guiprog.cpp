// Walks the real wizard window on a real X server through the guided LAN
// path, the way a person would: every click lands on a control that is
// visible, enabled and actually on top at its on-screen position, message
// boxes are real QMessageBoxes answered by clicking their buttons, and the
// X screen is grabbed as a PNG on every page reached.
//
// Besides the walk it lists, for every page, the controls without an
// accessible name and the captions that do not fit their control, so that
// the looks can be judged in every language and at every scale.
//
// Run by tests/net/test_x11_walkthrough.sh inside the lab's PC namespace
// with DISPLAY pointing at an Xvfb there. Exit 0: every required step was
// reached; 1: a required step failed; 2: bad arguments or no X display.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "gui/pages/OnvifAddressPage.h"
#include "gui/pages/OnvifClockPage.h"
#include "gui/pages/OnvifFinishedPage.h"
#include "gui/pages/OnvifLoginPage.h"
#include "gui/pages/OnvifStreamsPage.h"
#include "gui/pages/OnvifSummaryPage.h"

#include "core/i18n/IniFile.h"
#include "core/i18n/LanguagePaths.h"
#include "gui/app/WaitDialog.h"
#include "gui/app/WizardWindow.h"
#include "gui/app/QtPrompter.h"
#include "gui/controls/Ipv4AddressEdit.h"
#include "gui/pages/SearchPage.h"
#include "gui/pages/SetupChoicePage.h"
#include "gui/pages/StartPage.h"
#include "gui/dialogs/RootLoginDialog.h"
#include "gui/framework/WizardPage.h"
#include "gui/framework/PageIndex.h"
#include "gui/pages/SearchPage.h"
#include "support/GuidedLanPath.h"

namespace orvanta {
namespace {

struct Options {
    QString outDir;
    QString sourceDir;
    QString language = QStringLiteral("English (ENG)");
    QString cameraIp;
    QString newIp;  // typed into the quick IP page; the camera must show up there
    QString requireThrough;  // last step that must be reached; later ones may fail
    QString path = QStringLiteral("guided-lan");  // or "login": another subnet, root password
    QString password;                              // typed into the login dialog
    int expectCameras = 1;                         // rows the search must show
    QString ranges;                                // typed into "Search other networks" (path "range")
    bool strictAccessible = false;
    bool allPages = false;  // after the walk, shoot each of the pages as well
    int searchSeconds = 20;
    int operationSeconds = 120;
};

void Say(const QString& line) {
    std::printf("walkthrough: %s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

// Logs every prompt and then shows it as the wizard would.
class LoggingPrompter : public Prompter {
public:
    PromptAnswer Ask(QWidget* owner, const Prompt& prompt) override {
        Say(QStringLiteral("prompt [%1] %2").arg(prompt.caption, prompt.text));
        return real_.Ask(owner, prompt);
    }
    int RunModal(QDialog& dialog) override {
        Say(QStringLiteral("dialog %1").arg(QString::fromLatin1(dialog.metaObject()->className())));
        return real_.RunModal(dialog);
    }

private:
    QtPrompter real_;
};

class Walk : public testing::PathDriver {
public:
    Walk(WizardWindow& dlg, Options options) : dlg_(dlg), opt_(std::move(options)) {
        // A person answers message boxes: the guided LAN path says No to
        // joining by WPS and OK/Yes to everything else.
        answerer_.setInterval(150);
        QObject::connect(&answerer_, &QTimer::timeout, [this] { AnswerModal(); });
        answerer_.start();
    }

    // The X screen's pixels under the main window (and under a message box
    // over it), as they are on the display.
    void Shot(const QString& name, QWidget* also = nullptr) {
        SettlePaint(dlg_, also);
        QRect area = dlg_.frameGeometry();
        if (also != nullptr) area = area.united(also->frameGeometry());
        QScreen* screen = dlg_.screen();
        const QPixmap pixels = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        const QString file = QDir(opt_.outDir).filePath(QStringLiteral("%1-%2.png").arg(++shots_, 2, 10, QLatin1Char('0')).arg(name));
        if (pixels.isNull() || !pixels.save(file))
            Say(QStringLiteral("could not save %1").arg(file));
        else
            Say(QStringLiteral("screenshot %1").arg(file));
    }

    bool WaitForPage(int index) override {
        const auto shown = [&] {
            return dlg_.Pages().CurrentIndex() == index && dlg_.Page(index)->isVisible() && dlg_.isEnabled() &&
                   QApplication::activeModalWidget() == nullptr;
        };
        if (!QTest::qWaitFor(shown, opt_.operationSeconds * 1000)) {
            failure_ = QStringLiteral("page %1 not shown (page %2 is)").arg(index).arg(dlg_.Pages().CurrentIndex());
            return false;
        }
        return true;
    }

    // Clicks a control of a page at its centre, as long as a person could:
    // it is shown, enabled, and no other widget covers that point.
    bool Click(int page, int id) override {
        QWidget* w = dlg_.Page(page)->Control<QWidget>(id);
        if (w == nullptr) return Fail(QStringLiteral("control %1 missing on page %2").arg(id).arg(page));
        const QString what = QStringLiteral("%1/%2").arg(page).arg(id);
        // A radio or check box reacts only on its indicator and caption, so
        // a person clicks the indicator; it must then be checked.
        auto* radio = qobject_cast<QRadioButton*>(w);
        auto* check = qobject_cast<QCheckBox*>(w);
        if (radio != nullptr || check != nullptr) {
            const int indicator = w->style()->pixelMetric(radio != nullptr ? QStyle::PM_ExclusiveIndicatorWidth
                                                                           : QStyle::PM_IndicatorWidth,
                                                          nullptr, w);
            const bool before = check != nullptr && check->isChecked();
            if (!ClickWidget(w, QPoint(indicator / 2 + 1, w->height() / 2), what)) return false;
            const bool now = radio != nullptr ? radio->isChecked() : check->isChecked();
            if (radio != nullptr ? !now : now == before)
                return Fail(QStringLiteral("%1 did not change when its indicator was clicked").arg(what));
            return true;
        }
        return ClickWidget(w, w->rect().center(), what);
    }

    bool ClickWidget(QWidget* w, QPoint local, const QString& what) {
        if (!w->isVisible()) return Fail(QStringLiteral("%1 is not visible").arg(what));
        if (!w->isEnabled()) return Fail(QStringLiteral("%1 is disabled").arg(what));
        const QPoint global = w->mapToGlobal(local);
        QWidget* top = QApplication::widgetAt(global);
        if (top != w && !w->isAncestorOf(top))
            return Fail(QStringLiteral("%1 is covered at its centre by %2 '%3'")
                            .arg(what, top != nullptr ? QString::fromLatin1(top->metaObject()->className()) : QStringLiteral("nothing"),
                                 top != nullptr ? top->objectName() : QString()));
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, local);
        QCoreApplication::processEvents();
        return true;
    }

    // A click that starts a camera operation; its wait window is shot.
    bool StartOperation(int page, int id, const QString& name) override {
        if (!Click(page, id)) return false;
        ShotWaitWindow(name);
        return true;
    }
    void Look(const QString& name) override { Shot(name); }
    bool ExpectCameraUrl(int page, int id) override { return ExpectText(page, id); }

    // Waits until the search shows the camera in the list (and as many rows
    // as expected), then clicks its row.
    bool PickCamera(int page, int listId) override {
        auto* list = dlg_.Page(page)->Control<QTreeWidget>(listId);
        if (list == nullptr) return Fail(QStringLiteral("camera list %1 missing").arg(listId));
        QTreeWidgetItem* row = nullptr;
        const auto found = [&] {
            if (list->topLevelItemCount() < opt_.expectCameras) return false;
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                QTreeWidgetItem* item = list->topLevelItem(i);
                if (opt_.cameraIp.isEmpty() || item->text(0) == opt_.cameraIp) row = item;
            }
            return row != nullptr;
        };
        if (!QTest::qWaitFor(found, opt_.searchSeconds * 1000))
            return Fail(QStringLiteral("camera %1 not found by the search (%2 rows, %3 expected)")
                            .arg(opt_.cameraIp)
                            .arg(list->topLevelItemCount())
                            .arg(opt_.expectCameras));
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->topLevelItem(i);
            Say(QStringLiteral("found %1 %2 %3").arg(item->text(0), item->text(1), item->text(3)));
        }
        // Let the search run out, so the button's caption is at rest.
        auto* search = static_cast<SearchPage*>(dlg_.Page(page));
        (void)QTest::qWaitFor([&] { return !search->Searching(); }, opt_.searchSeconds * 1000);
        list->scrollToItem(row);
        const QRect r = list->visualItemRect(row);
        return ClickWidget(list->viewport(), r.center(), QStringLiteral("camera row %1").arg(row->text(0)));
    }

    // The wait window of a camera operation, shot once while it shows.
    void ShotWaitWindow(const QString& name) {
        const auto showing = [&] { return dlg_.PleaseWait() != nullptr && dlg_.PleaseWait()->isVisible(); };
        if (QTest::qWaitFor(showing, 3000)) Shot(name, dlg_.PleaseWait());
    }

    // Types an address into an address control field by field, as a person
    // does: click the field, select what is there, type the number.
    bool TypeAddress(int page, int id, const QString& address) override {
        auto* control = dlg_.Page(page)->Control<Ipv4AddressEdit>(id);
        if (control == nullptr) return Fail(QStringLiteral("address control %1 missing on page %2").arg(id).arg(page));
        const QStringList parts = address.split(QLatin1Char('.'));
        if (parts.size() != 4) return Fail(QStringLiteral("bad address %1").arg(address));
        for (int i = 0; i < 4; ++i) {
            QLineEdit* field = control->FieldEdit(i);
            if (!ClickWidget(field, field->rect().center(), QStringLiteral("%1/%2 field %3").arg(page).arg(id).arg(i)))
                return false;
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, parts[i]);
        }
        if (control->RecordText() != address)
            return Fail(QStringLiteral("address control %1 shows %2 after typing %3")
                            .arg(id)
                            .arg(control->RecordText(), address));
        return true;
    }

    const Options& Opt() const { return opt_; }
    WizardWindow& Window() { return dlg_; }

    // A read-only field a page fills (the camera's new address, say).
    bool ExpectText(int page, int id) {
        auto* edit = dlg_.Page(page)->Control<QLineEdit>(id);
        if (edit == nullptr) return Fail(QStringLiteral("field %1 missing on page %2").arg(id).arg(page));
        Say(QStringLiteral("page %1 field %2: %3").arg(page).arg(id).arg(edit->text()));
        if (edit->text().isEmpty()) return Fail(QStringLiteral("field %1 is empty").arg(id));
        const QString expected = opt_.newIp.isEmpty() ? opt_.cameraIp : opt_.newIp;
        if (!expected.isEmpty() && !edit->text().contains(QStringLiteral("//%1:").arg(expected)))
            return Fail(QStringLiteral("field %1 shows %2, not the camera's address %3").arg(id).arg(edit->text(), expected));
        return true;
    }

    // Types into a line edit as a person does: click it, select all, type.
    bool TypeText(int page, int id, const QString& text) {
        auto* edit = dlg_.Page(page)->Control<QLineEdit>(id);
        if (edit == nullptr) return Fail(QStringLiteral("field %1 missing on page %2").arg(id).arg(page));
        if (!ClickWidget(edit, edit->rect().center(), QStringLiteral("%1/%2").arg(page).arg(id))) return false;
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
        return edit->text() == text || Fail(QStringLiteral("field %1 shows other text than was typed").arg(id));
    }

    // Picks `text` in a drop-down list: a choice the page does not offer fails.
    bool Choose(int page, int id, const QString& text) {
        auto* combo = dlg_.Page(page)->Control<QComboBox>(id);
        if (combo == nullptr) return Fail(QStringLiteral("list %1 missing on page %2").arg(id).arg(page));
        const int index = combo->findText(text);
        if (index < 0) return Fail(QStringLiteral("list %1 does not offer %2").arg(id).arg(text));
        combo->setCurrentIndex(index);
        return true;
    }

    // A read-only field that must show exactly `value`.
    bool ExpectExactly(int page, int id, const QString& value) {
        auto* edit = dlg_.Page(page)->Control<QLineEdit>(id);
        if (edit == nullptr) return Fail(QStringLiteral("field %1 missing on page %2").arg(id).arg(page));
        Say(QStringLiteral("page %1 field %2: %3").arg(page).arg(id).arg(edit->text()));
        return edit->text() == value || Fail(QStringLiteral("field %1 shows %2, not %3").arg(id).arg(edit->text(), value));
    }

    bool Fail(const QString& why) {
        failure_ = why;
        return false;
    }
    const QString& Failure() const { return failure_; }

    // Paints the window (and a box over it) now rather than on Qt's next
    // update, and waits for the X server's round trip, so the screen holds
    // the last paint when it is grabbed.
    static void SettlePaint(QWidget& window, QWidget* also = nullptr) {
        QCoreApplication::processEvents();
        window.repaint();
        if (also != nullptr) also->repaint();
        QGuiApplication::sync();
    }
    // Class names of the modal dialogs (other than message boxes) answered.
    const QStringList& Dialogs() const { return dialogs_; }

private:
    void AnswerModal() {
        QWidget* modal = QApplication::activeModalWidget();
        // Marked rather than remembered by address: the next box may well be
        // built at the very address of the last one.
        if (modal == nullptr || !modal->isVisible() || modal == &dlg_ || modal->property(kAnswered).toBool()) return;
        modal->setProperty(kAnswered, true);
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            AnswerDialog(modal);
            return;
        }
        Shot(QStringLiteral("message"), box);
        QAbstractButton* button = box->button(QMessageBox::No);
        if (button == nullptr) button = box->button(QMessageBox::Ok);
        if (button == nullptr) button = box->button(QMessageBox::Yes);
        if (button != nullptr) QTest::mouseClick(button, Qt::LeftButton);
    }

    // The camera's login dialog gets the user and password typed in and OK
    // clicked; any other dialog is shot and closed.
    void AnswerDialog(QWidget* dialog) {
        dialogs_ << QString::fromLatin1(dialog->metaObject()->className());
        auto* user = dialog->findChild<QLineEdit*>(QString::number(RootLoginDialog::kUser));
        auto* password = dialog->findChild<QLineEdit*>(QString::number(RootLoginDialog::kPassword));
        auto* ok = dialog->findChild<QPushButton*>(QString::number(RootLoginDialog::kOk));
        if (user != nullptr && password != nullptr && ok != nullptr) {
            if (!user->isReadOnly()) {  // the dialog fixes the user to "root"
                user->clear();
                QTest::keyClicks(user, QStringLiteral("root"));
            }
            password->clear();
            QTest::keyClicks(password, opt_.password);
            Shot(QStringLiteral("login"), dialog);
            QTest::mouseClick(ok, Qt::LeftButton);
            return;
        }
        // "Search other networks": the ranges typed, then searched.
        auto* ranges = dialog->findChild<QLineEdit*>(QStringLiteral("ranges"));
        auto* search = dialog->findChild<QPushButton*>(QStringLiteral("searchRanges"));
        if (ranges != nullptr && search != nullptr && !opt_.ranges.isEmpty()) {
            ranges->clear();
            QTest::keyClicks(ranges, opt_.ranges);
            Shot(QStringLiteral("range-dialog"), dialog);
            QTest::mouseClick(search, Qt::LeftButton);
            return;
        }
        Shot(QStringLiteral("dialog"), dialog);
        if (auto* d = qobject_cast<QDialog*>(dialog)) d->reject();
    }

    WizardWindow& dlg_;
    Options opt_;
    static constexpr const char* kAnswered = "walkthroughAnswered";
    QTimer answerer_;
    QString failure_;
    QStringList dialogs_;
    int shots_ = 0;
};

// ---- looks: accessible names and captions that do not fit ----

QString CaptionOf(const QWidget* w) {
    if (const auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
    if (const auto* l = qobject_cast<const QLabel*>(w)) return l->text();
    if (const auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
    return {};
}

bool IsControl(const QWidget* w) {
    // The editor inside a combo box, spin box or address control is named
    // through its owner, which is judged itself.
    const QWidget* owner = w->parentWidget();
    if (owner != nullptr && (qobject_cast<const QComboBox*>(owner) || qobject_cast<const QAbstractSpinBox*>(owner) ||
                             qobject_cast<const Ipv4AddressEdit*>(owner)))
        return false;
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QTreeWidget*>(w) ||
           qobject_cast<const Ipv4AddressEdit*>(w);
}

// The size a caption needs inside its control, or an empty size when the
// control kind is not judged.
QSize NeededSize(const QWidget* w) {
    const QString text = CaptionOf(w);
    if (text.trimmed().isEmpty()) return {};
    const QFontMetrics fm(w->font());
    if (const auto* l = qobject_cast<const QLabel*>(w)) {
        if (l->pixmap().isNull() && l->wordWrap())
            return {w->width(), l->heightForWidth(w->width())};
        return l->sizeHint();
    }
    const QRect textRect = fm.boundingRect(QRect(0, 0, 10000, 10000), Qt::AlignLeft | Qt::TextShowMnemonic, text);
    if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
        int width = textRect.width() + 8;
        if (!b->icon().isNull()) width += b->iconSize().width() + 4;
        if (qobject_cast<const QRadioButton*>(w) || qobject_cast<const QCheckBox*>(w))
            width += w->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 6;
        return {width, textRect.height()};
    }
    if (qobject_cast<const QGroupBox*>(w)) return {textRect.width() + 16, 0};
    return {};
}

// Prints what a person would miss on every page; returns how many controls
// have no accessible name.
int ReviewLooks(WizardWindow& dlg) {
    int unnamed = 0;
    for (int index = 0; index < kPageCount; ++index) {
        WizardPage* page = dlg.Page(index);
        if (page == nullptr) continue;
        const QString where = QStringLiteral("page %1 (%2)").arg(index).arg(QString::fromLatin1(page->Section()));
        for (QWidget* w : page->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(page)) continue;  // hidden by the template
            if (IsControl(w) && w->accessibleName().trimmed().isEmpty()) {
                ++unnamed;
                Say(QStringLiteral("no accessible name: %1 %2 '%3' in %4 '%5'")
                        .arg(where, QString::fromLatin1(w->metaObject()->className()), w->objectName(),
                             QString::fromLatin1(w->parentWidget()->metaObject()->className()),
                             w->parentWidget()->objectName()));
            }
            if (IsControl(w) || qobject_cast<QLabel*>(w) != nullptr) {
                const QRect onPage(w->mapTo(page, QPoint(0, 0)), w->size());
                if (!page->rect().contains(onPage))
                    Say(QStringLiteral("outside its page: %1 control '%2' at %3,%4 %5x%6")
                            .arg(where, w->objectName())
                            .arg(onPage.x())
                            .arg(onPage.y())
                            .arg(onPage.width())
                            .arg(onPage.height()));
            }
            const QSize need = NeededSize(w);
            if (need.isEmpty()) continue;
            if (need.width() > w->width() + 1 || need.height() > w->height() + 1)
                Say(QStringLiteral("clipped: %1 control '%2' needs %3x%4, has %5x%6: \"%7\"")
                        .arg(where, w->objectName())
                        .arg(need.width())
                        .arg(need.height())
                        .arg(w->width())
                        .arg(w->height())
                        .arg(CaptionOf(w).left(60).replace(QLatin1Char('\n'), QLatin1Char(' '))));
        }
    }
    return unnamed;
}

// ---- the guided LAN path ----

struct Step {
    const char* name;  // also the screenshot's name
    int page;          // the page this step starts on
    std::function<bool(Walk&)> act;
};

// The shared step table, each step run through this window's Walk.
std::vector<Step> GuidedLanPath(const Options& opt) {
    std::vector<Step> steps;
    for (const testing::PathStep& step : testing::GuidedLanPath({opt.newIp, {}, {}, {}}))
        steps.push_back({step.name, step.page, [step](Walk& w) { return testing::RunActions(step, w); }});
    return steps;
}

// A camera in another subnet behind a root password: the search shows every
// camera, Next asks for the login, and with it the camera is read.
// The first steps of both login paths: set up, "no" to the link question,
// then the search, where the camera of --camera is picked and Next pressed.
std::vector<Step> ToTheChosenCamera() {
    return {
        {"first-page", kPageStart, [](Walk& w) { return w.Click(kPageStart, StartPage::kSetupButton); }},
        {"choose-no", kPageSetupChoice,
         [](Walk& w) { return w.Click(kPageSetupChoice, SetupChoicePage::kNoRadio) && w.Click(kPageSetupChoice, SetupChoicePage::kNext); }},
        {"search", kPageSearch,
         [](Walk& w) {
             if (!w.Click(kPageSearch, SearchPage::kSearchButton) || !w.PickCamera(kPageSearch, SearchPage::kList)) return false;
             w.Shot(QStringLiteral("search-selected"));
             return w.Click(kPageSearch, SearchPage::kNext);
         }},
    };
}

std::vector<Step> LoginPath() {
    std::vector<Step> steps = ToTheChosenCamera();
    steps.insert(steps.end(), {
        // "No" on the choice page chose the manual path, which starts on
        // the system page once the camera has been read.
        {"system-after-login", kPageSystem,
         [](Walk& w) {
             return w.Dialogs().contains(QStringLiteral("orvanta::RootLoginDialog"))
                        ? true
                        : w.Fail(QStringLiteral("no login dialog was shown (dialogs: %1)").arg(w.Dialogs().join(u',')));
         }},
    });
    return steps;
}

// Another maker's camera: the search lists it beside ours; its own path
// logs in, gives it the typed address, leaves name and clock as proposed,
// applies the change behind the wait window and shows where it is now.
std::vector<Step> OnvifPath() {
    std::vector<Step> steps = ToTheChosenCamera();
    steps.insert(steps.end(), {
        {"onvif-login", kPageOnvifLogin,
         [](Walk& w) {
             return w.TypeText(kPageOnvifLogin, OnvifLoginPage::kPassword, w.Opt().password) &&
                    w.StartOperation(kPageOnvifLogin, OnvifLoginPage::kNext, QStringLiteral("onvif-reading"));
         }},
        {"onvif-address", kPageOnvifAddress,
         [](Walk& w) {
             return w.Click(kPageOnvifAddress, OnvifAddressPage::kFixedRadio) &&
                    w.TypeAddress(kPageOnvifAddress, OnvifAddressPage::kAddress, w.Opt().newIp) &&
                    w.Click(kPageOnvifAddress, OnvifAddressPage::kNext);
         }},
        {"onvif-clock", kPageOnvifClock, [](Walk& w) { return w.Click(kPageOnvifClock, OnvifClockPage::kNext); }},
        // The main stream to a recorder's budget: what the summary then shows.
        {"onvif-streams", kPageOnvifStreams,
         [](Walk& w) {
             const int main = OnvifStreamsPage::kRowBase;
             return w.Choose(kPageOnvifStreams, main + OnvifStreamsPage::kResolution, QStringLiteral("1280x720")) &&
                    w.Choose(kPageOnvifStreams, main + OnvifStreamsPage::kFps, QStringLiteral("15")) &&
                    w.TypeText(kPageOnvifStreams, main + OnvifStreamsPage::kBitrate, QStringLiteral("4096")) &&
                    w.Click(kPageOnvifStreams, OnvifStreamsPage::kNext);
         }},
        {"onvif-summary", kPageOnvifSummary,
         [](Walk& w) { return w.StartOperation(kPageOnvifSummary, OnvifSummaryPage::kSave, QStringLiteral("onvif-applying")); }},
        {"onvif-finished", kPageOnvifFinished,
         [](Walk& w) { return w.ExpectExactly(kPageOnvifFinished, OnvifFinishedPage::kAddress, w.Opt().newIp); }},
    });
    return steps;
}

// Cameras behind a router: "Search other networks" with the ranges of
// --ranges, until the list holds --expect-cameras rows and the search ended.
std::vector<Step> RangePath() {
    return {
        {"first-page", kPageStart, [](Walk& w) { return w.Click(kPageStart, StartPage::kSetupButton); }},
        {"choose-no", kPageSetupChoice,
         [](Walk& w) { return w.Click(kPageSetupChoice, SetupChoicePage::kNoRadio) && w.Click(kPageSetupChoice, SetupChoicePage::kNext); }},
        {"range-search", kPageSearch,
         [](Walk& w) {
             if (!w.Click(kPageSearch, SearchPage::kOtherNetworksButton)) return false;
             auto* page = qobject_cast<SearchPage*>(w.Window().Page(kPageSearch));
             auto* list = page->Control<QTreeWidget>(SearchPage::kList);
             const bool done = QTest::qWaitFor(
                 [&] { return !page->SearchingRanges() && list->topLevelItemCount() >= w.Opt().expectCameras; },
                 w.Opt().searchSeconds * 1000);
             w.Shot(QStringLiteral("range-found"));
             return done ? true
                         : w.Fail(QStringLiteral("%1 rows after the range search").arg(list->topLevelItemCount()));
         }},
    };
}

bool ParseArgs(const QStringList& args, Options& opt) {
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto value = [&](QString& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        bool ok = true;
        if (a == QLatin1String("--out")) ok = value(opt.outDir);
        else if (a == QLatin1String("--source")) ok = value(opt.sourceDir);
        else if (a == QLatin1String("--language")) ok = value(opt.language);
        else if (a == QLatin1String("--camera")) ok = value(opt.cameraIp);
        else if (a == QLatin1String("--new-ip")) ok = value(opt.newIp);
        else if (a == QLatin1String("--require-through")) ok = value(opt.requireThrough);
        else if (a == QLatin1String("--path")) ok = value(opt.path);
        else if (a == QLatin1String("--password")) ok = value(opt.password);
        else if (a == QLatin1String("--ranges")) ok = value(opt.ranges);
        else if (a == QLatin1String("--expect-cameras")) {
            QString n;
            ok = value(n);
            opt.expectCameras = n.toInt();
        } else if (a == QLatin1String("--strict-accessible")) opt.strictAccessible = true;
        else if (a == QLatin1String("--all-pages")) opt.allPages = true;
        else ok = false;
        if (!ok) {
            std::fprintf(stderr, "x11_walkthrough: bad argument '%s'\n", a.toLocal8Bit().constData());
            return false;
        }
    }
    return !opt.outDir.isEmpty() && !opt.sourceDir.isEmpty() &&
           (opt.path == QLatin1String("guided-lan") || opt.path == QLatin1String("login") ||
            opt.path == QLatin1String("onvif") || opt.path == QLatin1String("range"));
}

int Run(int argc, char** argv) {
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "x11_walkthrough: needs a real X server (QT_QPA_PLATFORM=xcb), got %s\n",
                     QGuiApplication::platformName().toLocal8Bit().constData());
        return 2;
    }
    Options opt;
    if (!ParseArgs(QApplication::arguments(), opt)) {
        std::fprintf(stderr,
                     "usage: x11_walkthrough_guiprog --out DIR --source SRCDIR [--language NAME] [--camera IP] "
                     "[--new-ip IP] [--path guided-lan|login|onvif|range] [--password PW] [--ranges CIDR,...] [--expect-cameras N] [--require-through STEP] "
                     "[--strict-accessible] [--all-pages]\n");
        return 2;
    }
    QDir().mkpath(opt.outDir);

    // The shipped language files in a private folder, with the language
    // already chosen so the chooser does not come up.
    QTemporaryDir home;
    const QString langDir = home.path() + QStringLiteral("/Language/");
    const QString confDir = home.path() + QStringLiteral("/config/");
    QDir().mkpath(langDir);
    QDir().mkpath(confDir);
    const QDir shipped(opt.sourceDir + QStringLiteral("/lang"));
    for (const QString& name : shipped.entryList({QStringLiteral("*.ini")}, QDir::Files))
        QFile::copy(shipped.filePath(name), langDir + name);
    // defaultlang.ini names the file itself, ".ini" included.
    QString languageFile = opt.language;
    if (!languageFile.endsWith(QLatin1String(".ini"))) languageFile += QLatin1String(".ini");
    if (!QFile::exists(langDir + languageFile)) {
        std::fprintf(stderr, "x11_walkthrough: no language file '%s'\n", languageFile.toLocal8Bit().constData());
        return 2;
    }
    WriteIniString((confDir + QStringLiteral("defaultlang.ini")).toStdString(), "DefaultLang", "LangFile",
                   languageFile.toStdString());

    LoggingPrompter prompter;
    WizardWindowOptions options;
    options.prompter = &prompter;
    options.paths = std::make_unique<LanguagePaths>(home.path().toStdString() + "/", langDir.toStdString(),
                                                    confDir.toStdString());
    options.aliasStateFile.clear();
    options.removeStaleAliases = false;
    WizardWindow dlg(std::move(options));
    dlg.Start();
    dlg.move(16, 16);
    dlg.show();
    if (!QTest::qWaitForWindowExposed(&dlg, 10000)) {
        std::fprintf(stderr, "x11_walkthrough: the window was never exposed\n");
        return 1;
    }
    Say(QStringLiteral("language %1, scale %2, window %3x%4")
            .arg(opt.language, qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")))
            .arg(dlg.width())
            .arg(dlg.height()));

    const int unnamed = ReviewLooks(dlg);
    Say(QStringLiteral("%1 controls without an accessible name").arg(unnamed));

    Walk walk(dlg, opt);
    // Every step up to --require-through must work (all of them without it).
    bool requiredPart = true;
    int rc = 0;
    const std::vector<Step> steps = opt.path == QLatin1String("login")   ? LoginPath()
                                    : opt.path == QLatin1String("onvif") ? OnvifPath()
                                    : opt.path == QLatin1String("range") ? RangePath()
                                                                         : GuidedLanPath(opt);
    for (const Step& step : steps) {
        const QString name = QString::fromLatin1(step.name);
        const bool ok = walk.WaitForPage(step.page) && (walk.Shot(name), step.act(walk));
        if (!ok) {
            Say(QStringLiteral("%1 step '%2' failed: %3")
                    .arg(requiredPart ? QStringLiteral("FAIL:") : QStringLiteral("stopped (not yet required):"),
                         name, walk.Failure()));
            walk.Shot(QStringLiteral("stopped-at-") + name);
            if (requiredPart) rc = 1;
            break;
        }
        Say(QStringLiteral("reached %1").arg(name));
        if (name == opt.requireThrough) requiredPart = false;
    }
    // Pages the walk does not pass (the manual and wireless ones among them)
    // are shown one by one as they stand, so their looks can be judged too.
    if (opt.allPages) {
        const QString pagesDir = QDir(opt.outDir).filePath(QStringLiteral("pages"));
        QDir().mkpath(pagesDir);
        for (int index = 0; index < kPageCount; ++index) {
            dlg.Pages().ShowPage(index);
            Walk::SettlePaint(dlg);
            const QRect area = dlg.frameGeometry();
            const QPixmap pixels = dlg.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
            const QString file = QDir(pagesDir).filePath(
                QStringLiteral("%1-%2.png").arg(index, 2, 10, QLatin1Char('0')).arg(QString::fromLatin1(dlg.Page(index)->Section())));
            if (!pixels.save(file)) Say(QStringLiteral("could not save %1").arg(file));
        }
        Say(QStringLiteral("every page shot into %1").arg(pagesDir));
    }
    if (opt.strictAccessible && unnamed > 0) rc = 1;
    dlg.close();
    return rc;
}

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) { return orvanta::Run(argc, argv); }
