// The base of every wizard page. A page is a child of the main window's page
// area, laid out in code to its template's geometry (dialog units, see Dlu),
// shown and hidden by PageStack, refreshed from the settings record
// by LoadFromSettings and captioned from the language file by ApplyLanguage.
// It talks to the main window only by posting a WizardCommand.
//
// Control naming: every control a page makes carries its template identifier
// as its objectName, written as the decimal control id ("1013", "1040"). Each
// page names its ids once, in the `Id` enum of its header (the dialogs do the
// same), so tests and assistive tools find a control with
// Control<T>(QuickAddressPage::kAddress); page code itself holds the controls it
// uses as typed members. Controls the template gives no id get a descriptive
// name ("titleIcon", "frame"). The accessible name follows the visible caption
// (or, for an uncaptioned control, the caption of its label or its role).
//
// The shared building blocks live here so that pages do not repeat them:
// Back/Next/Finish/Save buttons with their icons and "Common" captions, the
// step title in the title font, radio pairs, DHCP/fixed enabling, the IPv4
// exchange with the record, copying control text into fixed-width fields.
#pragma once

#include <QRect>
#include <QString>
#include <QHash>
#include <QWidget>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <vector>

#include "core/i18n/TextCapacity.h"
#include "core/settings/CameraSettings.h"
#include "core/settings/FixedField.h"
#include "gui/framework/Prompter.h"
#include "gui/framework/WizardCommand.h"
#include "gui/framework/WizardContext.h"
#include "gui/controls/ToolbarButton.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace orvanta {

class Ipv4AddressEdit;
class PictureFrame;
class LanguageStrings;

class WizardPage : public QWidget {
    Q_OBJECT
public:
    // `section` is the page's section in the language file.
    WizardPage(int templateId, const char* section, QWidget* parent = nullptr);
    ~WizardPage() override;

    int TemplateId() const { return templateId_; }
    const char* Section() const { return section_; }

    // Set once by the main window right after the page is made.
    void SetContext(WizardContext* context) { context_ = context; }
    WizardContext* Context() const { return context_; }

    // Runs once when the main window has created and placed the page (the
    // context is set by then): start values that depend on the record or
    // the deployment go here rather than in the constructor.
    virtual void OnInitPage();

    // Refresh the controls from the settings record just before the page is
    // shown. The default does nothing (pages without a refresh).
    virtual void LoadFromSettings();

    // Set every caption from the language file and keep the page's message
    // texts. The base sets the Back/Next/Finish/Save captions from "Common",
    // the step title from its key, walks the page's caption table and keeps
    // the texts of its kept table; pages override it only for what no table
    // row can say (list headers, texts that depend on the page's state).
    virtual void ApplyLanguage(const LanguageStrings& lang);

    // One row of a page's caption table: the control, its key in the page's
    // section and the capacity the text is read with.
    struct CaptionRow {
        QWidget* control;
        const char* key;
        std::size_t capacity = kCaptionCapacity;
    };
    // One text the page shows later (a message, a note that changes).
    struct KeptRow {
        const char* key;
        std::size_t capacity = kCaptionCapacity;
    };
    const std::vector<CaptionRow>& CaptionTable() const { return captionTable_; }
    const char* TitleKey() const { return titleKey_; }
    std::size_t TitleCapacity() const { return titleCapacity_; }
    const std::vector<KeptRow>& KeptTable() const { return keptTable_; }

    // A control by its template id (objectName), or null.
    template <class T = QWidget>
    T* Control(int id) const {
        return findChild<T*>(QString::number(id));
    }

    ToolbarButton* BackButton() const { return back_; }
    ToolbarButton* NextButton() const { return next_; }
    QLabel* StepTitle() const { return title_; }

    // Page template size (389 x 267 dialog units) in pixels.
    static QSize TemplateSize();
    // Dialog units to pixels, for the dialog font the templates are drawn in
    // (6 x 13 pixel base units: x * 6/4, y * 13/8).
    static QRect Dlu(int x, int y, int w, int h);
    static int DluX(int x);
    static int DluY(int y);

    // The title font: face "System" (a sans serif where that face is
    // missing), 40 pixels high cell, normal weight.
    static QFont TitleFont();

    // ---- helpers usable by any page code (and tests) ----

    // The value of [section] key with the given capacity, as UTF-8 text.
    static QString Text(const LanguageStrings& lang, const char* section, const char* key,
                        std::size_t capacity = kCaptionCapacity);
    // Sets a control's visible text (label, button, group box, line edit)
    // and its accessible name.
    static void SetControlText(QWidget* control, const QString& text);
    // A caption as assistive tools say it: mnemonic marks taken out.
    static QString AccessibleText(const QString& caption);
    // Checks or unchecks a radio even inside an exclusive group (which on
    // its own refuses to leave all of its buttons unchecked).
    static void SetChecked(QAbstractButton* button, bool checked);
    static void SetEnabledAll(std::initializer_list<QWidget*> controls, bool enabled);
    // True when one of the pair is checked: a page with a radio pair
    // refuses Next while neither is.
    static bool EitherChecked(const QAbstractButton* a, const QAbstractButton* b);

    // A record field's text for a control.
    template <std::size_t N>
    static QString FieldString(const char (&field)[N]) {
        const auto text = FieldText(field);
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    // Copies a control's text into a fixed-width field, cut to the field's
    // width less one at a character boundary.
    template <std::size_t N>
    static void StoreText(char (&field)[N], const QString& text) {
        SetField(field, text.toStdString());
    }
    // IPv4 exchange between the record's "%d.%d.%d.%d" text and a control.
    static void LoadAddress(Ipv4AddressEdit* control, const char* recordText);
    template <std::size_t N>
    static void StoreAddress(char (&field)[N], const Ipv4AddressEdit* control) {
        SetField(field, AddressText(control).toStdString());
    }
    static QString AddressText(const Ipv4AddressEdit* control);

protected:
    CameraSettings& Settings() const { return *context_->settings; }

    // Queue a navigation command for the main window and return at once.
    void PostCommand(WizardCommand command) const;
    // A message box through the Prompter, owned by this page.
    PromptAnswer Ask(const QString& text, const QString& caption, PromptIcon icon,
                     PromptButtons buttons = PromptButtons::Ok) const;

    // The page's tables, declared once in its constructor (rows add up).
    void Captions(std::initializer_list<CaptionRow> rows);
    void KeptTexts(std::initializer_list<KeptRow> rows);

    // Captions from this page's own section.
    QString Text(const LanguageStrings& lang, const char* key, std::size_t capacity = kCaptionCapacity) const;
    void SetCaption(QWidget* control, const LanguageStrings& lang, const char* key,
                    std::size_t capacity = kCaptionCapacity) const;
    // Messages and notes the page shows later: read in ApplyLanguage with
    // KeepText, used with Kept (empty when the key was absent).
    void KeepText(const LanguageStrings& lang, const char* key, std::size_t capacity = kCaptionCapacity);

public:
    QString Kept(const char* key) const;
    // Reads the camera list's header keys (section of this page) and puts
    // each on its column; the columns widen to their captions.
    void CaptionListHeader(const LanguageStrings& lang, QTreeWidget* list,
                           std::initializer_list<std::pair<int, const char*>> columns);

    // ---- reactions to the user's choices ----
    // They hang on the control's state change, not on its click, so a mouse
    // click, a key (Space, arrows within a radio group, the arrows of a
    // closed list) and an assistive tool's action all give the same page;
    // choosing again what is already chosen (a click on the checked radio,
    // the shown entry picked from the list) runs the reaction as well.
    // While a QuietLoad of the page is alive (the page fills itself from the
    // record), they stay silent: what the record says is not the user's
    // choice.
    void WhenChecked(QAbstractButton* button, std::function<void()> reaction);
    void WhenToggled(QAbstractButton* button, std::function<void(bool)> reaction);
    void WhenSelected(QComboBox* box, std::function<void(int)> reaction);
    bool Quiet() const { return quiet_ > 0; }

    class QuietLoad {
    public:
        explicit QuietLoad(WizardPage* page) : page_(page) {
            if (page_) ++page_->quiet_;
        }
        ~QuietLoad() {
            if (page_) --page_->quiet_;
        }
        QuietLoad(const QuietLoad&) = delete;
        QuietLoad& operator=(const QuietLoad&) = delete;

    private:
        WizardPage* page_;
    };

protected:

    // ---- building the template (rectangles in dialog units) ----
    QLabel* AddStatic(int id, QRect dlu, const QString& text);
    QPushButton* AddButton(int id, QRect dlu, const QString& text);
    ToolbarButton* AddIconButton(int id, QRect dlu, const QString& text, int iconId, ToolbarButton::IconSide side);
    QButtonGroup* AddRadioGroup();
    QRadioButton* AddRadio(int id, QRect dlu, const QString& text, QButtonGroup* group);
    QCheckBox* AddCheck(int id, QRect dlu, const QString& text);
    // `maxChars` limits typing only (see EditLimit); `fieldWidth` is the
    // byte width of the record field the text goes to (0: as many bytes as
    // characters, for numbers and other plain ASCII texts).
    QLineEdit* AddEdit(int id, QRect dlu, int maxChars = 0, std::size_t fieldWidth = 0);
    // A value shown to be read and copied, not changed (what a camera said).
    QLineEdit* AddReadOnlyEdit(int id, QRect dlu);
    QComboBox* AddCombo(int id, QRect dlu, bool editable = false);
    QGroupBox* AddGroupBox(int id, QRect dlu, const QString& text);
    Ipv4AddressEdit* AddAddress(int id, QRect dlu);
    QTreeWidget* AddList(int id, QRect dlu, const QStringList& columns);
    PictureFrame* AddPicture(int id, QRect dlu, int pictureId);

    // The DHCP/fixed radio pair over the address, mask, gateway and DNS
    // rows and "Test this IP", as every page that gives a camera its
    // address in one step lays them out from `top` (dialog units) down. Its
    // captions are the section's "RadioDHCP", "RadioFixIP", "IP",
    // "Submask", "Gateway", "DNS" and "BtnSendARP"; a class B or C address
    // typed in brings its classful mask.
    struct AddressChoiceIds {
        int dhcp, fixed, addressLabel, address, maskLabel, mask, gatewayLabel, gateway, dnsLabel, dns, test;
    };
    struct AddressChoice {
        QRadioButton* dhcp = nullptr;
        QRadioButton* fixed = nullptr;
        Ipv4AddressEdit* address = nullptr;
        Ipv4AddressEdit* mask = nullptr;
        Ipv4AddressEdit* gateway = nullptr;
        Ipv4AddressEdit* dns = nullptr;
        QPushButton* test = nullptr;
    };
    AddressChoice AddAddressChoice(const AddressChoiceIds& ids, int top);

    // Back (icon left) and Next (icon right) at their usual places, in the
    // flat toolbar style; Finish (with its own icon) and Save are Next-like.
    ToolbarButton* AddBackButton(int id, const QString& text = QStringLiteral("Back"));
    ToolbarButton* AddNextButton(int id, const QString& text = QStringLiteral("Next"));
    ToolbarButton* AddFinishButton(int id, const QString& text = QStringLiteral("Finish"));
    ToolbarButton* AddSaveButton(int id, const QString& text, QRect dlu);
    // The step title with the title icon beside it; its caption comes from
    // `titleKey` of this page's section with `capacity`.
    QLabel* AddStepTitle(int id, const char* titleKey, std::size_t capacity, const QString& text = {});

    // Names a control for findChild and for assistive tools.
    static void Name(QWidget* control, int id, const QString& accessible);
    // An input control is announced by the label before it on its row: the
    // label becomes its buddy (a mnemonic in the label's caption focuses
    // it) and lends it its caption, now and whenever it is captioned again.
    void NameByLabel(QWidget* control);
    static void SetLabelFor(QLabel* label, QWidget* control);

private:
    void FitTitle();

    int templateId_;
    const char* section_;
    WizardContext* context_ = nullptr;
    ToolbarButton* back_ = nullptr;
    ToolbarButton* next_ = nullptr;
    ToolbarButton* finish_ = nullptr;
    ToolbarButton* save_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* titleIcon_ = nullptr;
    const char* titleKey_ = nullptr;
    std::size_t titleCapacity_ = kCaptionCapacity;
    QHash<QString, QString> kept_;
    std::vector<CaptionRow> captionTable_;
    std::vector<KeptRow> keptTable_;
    int quiet_ = 0;
};

}  // namespace orvanta
