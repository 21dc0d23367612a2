// Every page as a user with any input device meets it: values read from the
// camera at their field's full width go through each page and its Next
// unchanged, and each radio button, check box and list ends the page in the
// same state whether it was changed by a mouse click, by the keyboard or by
// an assistive tool.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <cstring>
#include <functional>

#include "core/settings/FixedField.h"
#include "gui/framework/WizardPage.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

namespace {

// `width - 1` bytes of text: ASCII, then two- and three-byte characters, so
// that a cut by characters or inside a character both show.
std::string FullWidthText(std::size_t width, char ascii) {
    std::size_t bytes = width - 1;
    const std::size_t threes = bytes >= 30 ? 10 : bytes / 3;
    bytes -= 3 * threes;
    const std::size_t twos = bytes >= 8 ? 2 : 0;
    bytes -= 2 * twos;
    std::string text(bytes, ascii);
    for (std::size_t i = 0; i < twos; ++i) text += "\xc3\xa9";      // é
    for (std::size_t i = 0; i < threes; ++i) text += "\xe6\xbc\xa2";  // 漢
    return text;
}

template <std::size_t N>
void Fill(char (&field)[N], char ascii) {
    SetField(field, FullWidthText(N, ascii));
}

// A camera read with every text a page shows at its full width, and a
// streaming port longer than the five characters one may type.
void FullWidthCamera(CameraSettings& s) {
    s.Loaded = 1;
    s.HasWireless = 1;
    s.WizardMode = 1;
    s.IPType = 2;
    s.NTPEN = 1;
    s.Timezone = 3;
    s.DDNS = 1;
    s.WireSec = 1;  // WEP, ASCII keys, key 1
    s.WEPMode = 1;
    s.WEPKeyE0 = 0;
    s.WireType = 1;
    Fill(s.TitleBar, 't');
    Fill(s.Desp, 'd');
    Fill(s.NTPName, 'n');
    Fill(s.Date, '1');
    Fill(s.Time, '2');
    Fill(s.PAccount, 'a');
    Fill(s.PPwd, 'p');
    Fill(s.PVP, 'p');
    Fill(s.DialUser, 'a');
    Fill(s.SSID, 's');
    Fill(s.WPAKey, 'w');
    Fill(s.WEPKey0, 'k');
    Fill(s.WEPKey1, 'l');
    Fill(s.WEPKey2, 'm');
    Fill(s.WEPKey3, 'o');
    Fill(s.DDNSHost, 'h');
    Fill(s.DDNSUser, 'u');
    Fill(s.DDNSPwd, 'q');
    s.HttpPort = 8080;
    s.RTPPort = 100054;  // shown whole it is refused; cut to "10005" it would pass
    s.RTSPPort = 554;
}

struct TextField {
    const char* name;
    std::size_t offset;
    std::size_t width;
};
#define ORVANTA_FIELD(f) TextField{#f, offsetof(CameraSettings, f), sizeof(CameraSettings::f)}
const TextField kTextFields[] = {
    ORVANTA_FIELD(TitleBar), ORVANTA_FIELD(Desp),    ORVANTA_FIELD(NTPName),  ORVANTA_FIELD(Date),
    ORVANTA_FIELD(Time),     ORVANTA_FIELD(PAccount), ORVANTA_FIELD(PPwd),    ORVANTA_FIELD(PVP),
    ORVANTA_FIELD(SSID),     ORVANTA_FIELD(WPAKey),  ORVANTA_FIELD(WEPKey0),  ORVANTA_FIELD(WEPKey1),
    ORVANTA_FIELD(WEPKey2),  ORVANTA_FIELD(WEPKey3), ORVANTA_FIELD(DDNSHost), ORVANTA_FIELD(DDNSUser),
    ORVANTA_FIELD(DDNSPwd),
};
#undef ORVANTA_FIELD

QString FieldAt(const CameraSettings& s, const TextField& f) {
    const char* p = reinterpret_cast<const char*>(&s) + f.offset;
    return QString::fromUtf8(p, static_cast<qsizetype>(::strnlen(p, f.width)));
}

// How a control is changed.
enum class Input { Mouse, Keyboard, Assistive };

const char* InputName(Input input) {
    switch (input) {
        case Input::Mouse: return "mouse";
        case Input::Keyboard: return "keyboard";
        case Input::Assistive: return "assistive";
    }
    return "?";
}

bool IsChoiceControl(const QWidget* w) {
    return qobject_cast<const QRadioButton*>(w) || qobject_cast<const QCheckBox*>(w) ||
           qobject_cast<const QComboBox*>(w);
}

// The page as the user sees it, one line per control, then what its Next
// wrote, asked and posted.
QStringList PageState(WizardPage* page) {
    QStringList lines;
    for (QWidget* w : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        QString line = QStringLiteral("%1 enabled=%2 hidden=%3").arg(w->objectName()).arg(w->isEnabled()).arg(w->isHidden());
        if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isCheckable())
            line += QStringLiteral(" checked=%1").arg(b->isChecked());
        if (auto* c = qobject_cast<QComboBox*>(w)) line += QStringLiteral(" index=%1").arg(c->currentIndex());
        if (auto* e = qobject_cast<QLineEdit*>(w)) line += QStringLiteral(" text=%1").arg(e->text());
        lines << line;
    }
    return lines;
}

}  // namespace

class PageControlsTest : public QObject {
    Q_OBJECT
private slots:
    void fullWidthValuesSurviveNext();
    void everyInputGivesTheSamePage();

private:
    // A started window on shipped English, commands caught, every question
    // answered "no", the record as `prepare` leaves it.
    void Start(WizardFixture& fx, const std::function<void(CameraSettings&)>& prepare) {
        fx.StartInShippedEnglish(QStringLiteral(ORVANTA_SOURCE_DIR));
        fx.prompter.AnswerAnyWithNo(true);
        fx.Window().Context().postCommand = [this](WizardCommand command) { posted_.push_back(command); };
        prepare(fx.Settings());
        fx.Window().show();
    }
    WizardPage* Open(WizardFixture& fx, int index) {
        fx.Window().Pages().ShowPage(index);
        WizardPage* page = fx.Window().Page(index);
        page->LoadFromSettings();
        return page;
    }

    std::vector<WizardCommand> posted_;
};

void PageControlsTest::fullWidthValuesSurviveNext() {
    // Fields a page's Next rewrites on purpose, whatever it was shown.
    const auto rewrites = [](int page, const QString& field) {
        if (page == kPageOption) return field == QLatin1String("Date") || field == QLatin1String("Time");
        // The PPPoE page always asks for the password again.
        if (page == kPagePppoe) return field == QLatin1String("PPwd") || field == QLatin1String("PVP");
        // Without a scan there is no network to join.
        if (page == kPageAccessPointScan) return field == QLatin1String("SSID");
        return false;
    };
    WizardFixture fx;
    Start(fx, FullWidthCamera);
    const CameraSettings before = fx.Settings();
    int pagesWithNext = 0;
    for (int index = 1; index < kPageCount; ++index) {
        fx.Settings() = before;
        WizardPage* page = Open(fx, index);
        if (page->NextButton() == nullptr) continue;
        ++pagesWithNext;
        page->NextButton()->click();
        for (const TextField& f : kTextFields) {
            if (rewrites(index, QLatin1String(f.name))) continue;
            QVERIFY2(FieldAt(fx.Settings(), f) == FieldAt(before, f),
                     qPrintable(QStringLiteral("page %1 changed %2 to \"%3\"")
                                    .arg(page->TemplateId())
                                    .arg(QLatin1String(f.name), FieldAt(fx.Settings(), f))));
        }
        QVERIFY2(fx.Settings().RTPPort == before.RTPPort,
                 qPrintable(QStringLiteral("page %1 stored port %2").arg(page->TemplateId()).arg(fx.Settings().RTPPort)));
    }
    QVERIFY(pagesWithNext >= 15);
}

void PageControlsTest::everyInputGivesTheSamePage() {
    // Two records that leave different radios unchecked, so that each side
    // of every pair is chosen once.
    const std::function<void(CameraSettings&)> records[] = {
        [](CameraSettings& s) {
            FullWidthCamera(s);
            s.HostAdapterFound = 1;
            s.HostDHCP = 0;
            s.WIPType = 1;
        },
        [](CameraSettings& s) {
            FullWidthCamera(s);
            s.RTPPort = 8081;
            s.IPType = 0;
            s.WIPType = 0;
            s.NTPEN = 0;
            s.DDNS = 0;
            s.Loaded = 1;
            s.HostDHCP = 1;
            s.HostDialUp = 1;
            s.WireSec = 2;
        },
    };
    QSet<QString> exercised;
    for (std::size_t r = 0; r < std::size(records); ++r) {
        for (int index = 0; index < kPageCount; ++index) {
            // The controls this page offers to change after its refresh.
            QStringList names;
            {
                WizardFixture fx;
                Start(fx, records[r]);
                WizardPage* page = Open(fx, index);
                for (QWidget* w : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                    if (!IsChoiceControl(w) || !w->isEnabled() || w->isHidden()) continue;
                    if (auto* radio = qobject_cast<QRadioButton*>(w); radio && radio->isChecked()) continue;
                    if (auto* box = qobject_cast<QComboBox*>(w); box && box->count() < 2) continue;
                    names << w->objectName();
                }
            }
            for (const QString& name : names) {
                QStringList first;
                Input firstInput = Input::Mouse;
                for (const Input input : {Input::Mouse, Input::Keyboard, Input::Assistive}) {
                    WizardFixture fx;
                    posted_.clear();
                    Start(fx, records[r]);
                    WizardPage* page = Open(fx, index);
                    auto* w = page->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
                    QVERIFY(w);
                    auto* button = qobject_cast<QAbstractButton*>(w);
                    auto* box = qobject_cast<QComboBox*>(w);
                    const int target = box ? (box->currentIndex() + 1 < box->count() ? box->currentIndex() + 1
                                                                                   : box->currentIndex() - 1)
                                           : -1;
                    switch (input) {
                        case Input::Mouse:
                            if (button) {
                                QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
                            } else {
                                box->showPopup();
                                QAbstractItemView* view = box->view();
                                const QModelIndex item = view->model()->index(target, box->modelColumn());
                                view->scrollTo(item);
                                const QRect at = view->visualRect(item);
                                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at.center());
                                box->hidePopup();
                            }
                            break;
                        case Input::Keyboard:
                            if (button)
                                QTest::keyClick(button, Qt::Key_Space);
                            else
                                QTest::keyClick(box, target > box->currentIndex() ? Qt::Key_Down : Qt::Key_Up);
                            break;
                        case Input::Assistive:
                            if (button) {
                                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(button);
                                QVERIFY(a && a->actionInterface());
                                QVERIFY(a->actionInterface()->actionNames().contains(
                                    QAccessibleActionInterface::toggleAction()));
                                a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
                            } else {
                                // A screen reader picks an entry by setting the
                                // list's current entry.
                                box->setCurrentIndex(target);
                            }
                            break;
                    }
                    if (box) QCOMPARE(box->currentIndex(), target);
                    QStringList state = PageState(page);
                    if (page->NextButton() && page->NextButton()->isVisible() && page->NextButton()->isEnabled()) {
                        page->NextButton()->click();
                        CameraSettings s = fx.Settings();
                        // The clock the option page sets is the only thing allowed to differ.
                        std::memset(s.Date, 0, sizeof s.Date);
                        std::memset(s.Time, 0, sizeof s.Time);
                        state << QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(&s), sizeof s).toHex());
                    }
                    for (const auto& p : fx.prompter.Prompts()) state << QStringLiteral("asked: ") + p.text;
                    for (const WizardCommand command : posted_) state << QStringLiteral("posted: %1").arg(int(command));
                    if (input == Input::Mouse) {
                        first = state;
                        firstInput = input;
                        continue;
                    }
                    for (qsizetype i = 0; i < std::max(first.size(), state.size()); ++i) {
                        const QString a = first.value(i), b = state.value(i);
                        QVERIFY2(a == b, qPrintable(QStringLiteral("page %1, %2 by %3 and by %4 differ:\n  %5\n  %6")
                                                        .arg(page->TemplateId())
                                                        .arg(name, QLatin1String(InputName(firstInput)),
                                                             QLatin1String(InputName(input)), a.left(200), b.left(200))));
                    }
                }
                exercised.insert(QStringLiteral("%1/%2").arg(index).arg(name));
            }
        }
    }
    QStringList names = exercised.values();
    names.sort();
    qInfo("controls exercised: %lld (%s)", static_cast<long long>(exercised.size()), qPrintable(names.join(QLatin1Char(' '))));
    QVERIFY(exercised.size() >= 20);
}

QTEST_MAIN(PageControlsTest)
#include "page_controls_test.moc"
