#include "gui/framework/WizardPage.h"

#include "gui/framework/AddressChoice.h"

#include "gui/controls/CaptionLayout.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <memory>

#include "core/i18n/LanguageStrings.h"
#include "gui/controls/Art.h"
#include "gui/controls/Ipv4AddressEdit.h"
#include "gui/controls/PictureFrame.h"
#include "gui/framework/EditLimit.h"

namespace orvanta {
namespace {

constexpr int kTemplateWidth = 389;
constexpr int kTemplateHeight = 267;

}  // namespace

WizardPage::WizardPage(int templateId, const char* section, QWidget* parent)
    : QWidget(parent), templateId_(templateId), section_(section) {
    setObjectName(QString::number(templateId));
    setFixedSize(TemplateSize());
    // Pages paint on white; their texts stay in the normal text colour.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    hide();
}

WizardPage::~WizardPage() = default;

void WizardPage::OnInitPage() {}

void WizardPage::LoadFromSettings() {}

void WizardPage::ApplyLanguage(const LanguageStrings& lang) {
    if (back_) SetControlText(back_, Text(lang, "Common", "BtnBack"));
    if (next_) SetControlText(next_, Text(lang, "Common", "BtnNext"));
    if (finish_) SetControlText(finish_, Text(lang, "Common", "BtnFinish"));
    if (save_) SetControlText(save_, Text(lang, "Common", "BtnSave"));
    if (title_ && titleKey_) {
        SetControlText(title_, Text(lang, titleKey_, titleCapacity_));
        titleIcon_->setAccessibleDescription(AccessibleText(title_->text()));
        FitTitle();
    }
    for (const CaptionRow& row : captionTable_) SetCaption(row.control, lang, row.key, row.capacity);
    for (const KeptRow& row : keptTable_) KeepText(lang, row.key, row.capacity);
}

void WizardPage::Captions(std::initializer_list<CaptionRow> rows) {
    captionTable_.insert(captionTable_.end(), rows.begin(), rows.end());
}

void WizardPage::KeptTexts(std::initializer_list<KeptRow> rows) {
    keptTable_.insert(keptTable_.end(), rows.begin(), rows.end());
}

QSize WizardPage::TemplateSize() { return {DluX(kTemplateWidth), DluY(kTemplateHeight)}; }

int WizardPage::DluX(int x) { return x * 6 / 4; }
int WizardPage::DluY(int y) { return y * 13 / 8; }

QRect WizardPage::Dlu(int x, int y, int w, int h) {
    return {DluX(x), DluY(y), DluX(x + w) - DluX(x), DluY(y + h) - DluY(y)};
}

QFont WizardPage::TitleFont() {
    QFont f(QStringLiteral("System"));
    f.setStyleHint(QFont::SansSerif);
    // A 40-unit cell holds a glyph of roughly 30 pixels.
    f.setPixelSize(30);
    f.setWeight(QFont::Normal);
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    return f;
}

QString WizardPage::Text(const LanguageStrings& lang, const char* section, const char* key,
                          std::size_t capacity) {
    return QString::fromStdString(lang.Get(section, key, capacity));
}

QString WizardPage::Text(const LanguageStrings& lang, const char* key, std::size_t capacity) const {
    return Text(lang, section_, key, capacity);
}

void WizardPage::SetCaption(QWidget* control, const LanguageStrings& lang, const char* key,
                             std::size_t capacity) const {
    SetControlText(control, Text(lang, key, capacity));
}

void WizardPage::KeepText(const LanguageStrings& lang, const char* key, std::size_t capacity) {
    kept_.insert(QString::fromLatin1(key), Text(lang, key, capacity));
}

QString WizardPage::Kept(const char* key) const { return kept_.value(QString::fromLatin1(key)); }

void WizardPage::CaptionListHeader(const LanguageStrings& lang, QTreeWidget* list,
                                    std::initializer_list<std::pair<int, const char*>> columns) {
    QTreeWidgetItem* header = list->headerItem();
    for (const auto& [column, key] : columns) {
        KeepText(lang, key, kCaptionCapacity);
        header->setText(column, Kept(key));
    }
    WidenColumnsToHeaders(list);
}

void WizardPage::SetControlText(QWidget* control, const QString& text) {
    if (!control) return;
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
        return;  // an edit's content is not its name
    }
    if (text.isEmpty()) return;
    const QString name = AccessibleText(text);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        // A label is read out by its text, whatever sets it later; the
        // input it labels is named by it.
        if (label->buddy()) label->buddy()->setAccessibleName(name);
        return;
    }
    control->setAccessibleName(name);
}

QString WizardPage::AccessibleText(const QString& caption) {
    // "&&" is a literal ampersand; a single one marks the mnemonic.
    QString name;
    name.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) name += caption[++i];
            continue;
        }
        name += caption[i];
    }
    return name.simplified();
}

void WizardPage::SetLabelFor(QLabel* label, QWidget* control) {
    if (!label || !control) return;
    label->setBuddy(control);
    const QString name = AccessibleText(label->text());
    if (!name.isEmpty()) control->setAccessibleName(name);
}

void WizardPage::NameByLabel(QWidget* control) {
    // The label of an input is the nearest caption to its left that shares
    // its row; templates put every label there.
    const QRect at = control->geometry();
    QLabel* best = nullptr;
    for (QLabel* label : findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QRect l = label->geometry();
        if (label == title_ || label->buddy() != nullptr || l.right() > at.left()) continue;
        const int overlap = std::min(l.bottom(), at.bottom()) - std::max(l.top(), at.top());
        if (overlap < std::min(l.height(), at.height()) / 2) continue;
        if (best == nullptr || l.right() > best->geometry().right()) best = label;
    }
    if (best == nullptr) {
        // A list is captioned from above: the label just over its top-left.
        for (QLabel* label : findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
            const QRect l = label->geometry();
            if (label == title_ || label->buddy() != nullptr) continue;
            if (std::abs(l.left() - at.left()) <= DluX(4) && l.bottom() <= at.top() && at.top() - l.bottom() <= DluY(6))
                best = label;
        }
    }
    SetLabelFor(best, control);
}

void WizardPage::WhenChecked(QAbstractButton* button, std::function<void()> reaction) {
    auto react = std::make_shared<std::function<void()>>(std::move(reaction));
    connect(button, &QAbstractButton::toggled, this, [this, react](bool checked) {
        if (checked && !Quiet()) (*react)();
    });
    // Choosing again the button that is already chosen changes no state,
    // yet the user did choose it (the LAN page frees its addresses on such
    // a click): a click or key on a checked button runs the reaction too.
    auto checkedAtPress = std::make_shared<bool>(false);
    connect(button, &QAbstractButton::pressed, this, [button, checkedAtPress] { *checkedAtPress = button->isChecked(); });
    connect(button, &QAbstractButton::clicked, this, [this, react, checkedAtPress](bool checked) {
        if (checked && *checkedAtPress && !Quiet()) (*react)();
    });
}

void WizardPage::WhenToggled(QAbstractButton* button, std::function<void(bool)> reaction) {
    connect(button, &QAbstractButton::toggled, this, [this, reaction = std::move(reaction)](bool checked) {
        if (!Quiet()) reaction(checked);
    });
}

void WizardPage::WhenSelected(QComboBox* box, std::function<void(int)> reaction) {
    auto react = std::make_shared<std::function<void(int)>>(std::move(reaction));
    // The index the list has just changed to, until control returns to the
    // event loop: the user's choice that caused it arrives as `activated`
    // right after, and must not run the reaction twice.
    auto changedTo = std::make_shared<int>(-2);
    connect(box, &QComboBox::currentIndexChanged, this, [this, react, changedTo](int index) {
        if (Quiet()) return;
        *changedTo = index;
        QTimer::singleShot(0, this, [changedTo] { *changedTo = -2; });
        (*react)(index);
    });
    // Choosing again the entry already shown is still the user's choice.
    connect(box, &QComboBox::activated, this, [this, react, changedTo](int index) {
        if (*changedTo == index) {
            *changedTo = -2;
            return;
        }
        if (!Quiet()) (*react)(index);
    });
}

void WizardPage::SetChecked(QAbstractButton* button, bool checked) {
    if (!button || button->isChecked() == checked) return;
    QButtonGroup* group = button->group();
    const bool exclusive = group && group->exclusive();
    if (exclusive && !checked) group->setExclusive(false);
    const bool autoEx = button->autoExclusive();
    if (!checked) button->setAutoExclusive(false);
    button->setChecked(checked);
    button->setAutoExclusive(autoEx);
    if (exclusive && !checked) group->setExclusive(true);
}

void WizardPage::SetEnabledAll(std::initializer_list<QWidget*> controls, bool enabled) {
    for (QWidget* w : controls)
        if (w) w->setEnabled(enabled);
}

bool WizardPage::EitherChecked(const QAbstractButton* a, const QAbstractButton* b) {
    return (a && a->isChecked()) || (b && b->isChecked());
}

void WizardPage::LoadAddress(Ipv4AddressEdit* control, const char* recordText) {
    if (control) control->SetFromRecordText(recordText);
}

QString WizardPage::AddressText(const Ipv4AddressEdit* control) {
    return control ? control->RecordText() : QStringLiteral("0.0.0.0");
}

void WizardPage::PostCommand(WizardCommand command) const {
    if (context_ && context_->postCommand) context_->postCommand(command);
}

PromptAnswer WizardPage::Ask(const QString& text, const QString& caption, PromptIcon icon,
                              PromptButtons buttons) const {
    if (!context_ || !context_->prompter) {
        // No prompter means nobody can answer: treat as the safe "no".
        return buttons == PromptButtons::YesNo      ? PromptAnswer::No
               : buttons == PromptButtons::OkCancel ? PromptAnswer::Cancel
                                                    : PromptAnswer::Ok;
    }
    Prompt prompt;
    prompt.text = text;
    prompt.caption = caption;
    prompt.icon = icon;
    prompt.buttons = buttons;
    return context_->prompter->Ask(const_cast<WizardPage*>(this), prompt);
}

void WizardPage::Name(QWidget* control, int id, const QString& accessible) {
    if (id != 0) control->setObjectName(QString::number(id));
    // A label is read out by its own text: a name fixed here would go stale
    // when the text changes.
    if (qobject_cast<QLabel*>(control)) return;
    QString name = AccessibleText(accessible);
    if (name.isEmpty()) name = id != 0 ? QStringLiteral("Control %1").arg(id) : QStringLiteral("Control");
    control->setAccessibleName(name);
}

QLabel* WizardPage::AddStatic(int id, QRect dlu, const QString& text) {
    auto* label = new QLabel(text, this);
    // Texts may come from language files or cameras: never rich text.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(dlu);
    if (id == 0) label->setObjectName(QStringLiteral("static"));
    Name(label, id, text);
    return label;
}

QPushButton* WizardPage::AddButton(int id, QRect dlu, const QString& text) {
    auto* button = new QPushButton(text, this);
    button->setAutoDefault(false);
    button->setGeometry(dlu);
    Name(button, id, text);
    return button;
}

ToolbarButton* WizardPage::AddIconButton(int id, QRect dlu, const QString& text, int iconId,
                                       ToolbarButton::IconSide side) {
    auto* button = new ToolbarButton(this);
    button->setText(text);
    button->setAutoDefault(false);
    button->SetIcon(art::Icon(iconId), side);
    button->setProperty("iconId", iconId);  // which picture, for tests and themes
    button->setGeometry(dlu);
    Name(button, id, text);
    return button;
}

QButtonGroup* WizardPage::AddRadioGroup() {
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    return group;
}

QRadioButton* WizardPage::AddRadio(int id, QRect dlu, const QString& text, QButtonGroup* group) {
    auto* radio = new QRadioButton(text, this);
    // Radios of different groups on one page share a parent: the button
    // group, not the parent, decides what excludes what (a grouped button
    // leaves its siblings alone). The button stays auto-exclusive, which is
    // what makes assistive tools announce it as a radio button.
    if (group) group->addButton(radio, id);
    radio->setGeometry(dlu);
    Name(radio, id, text);
    return radio;
}

QCheckBox* WizardPage::AddCheck(int id, QRect dlu, const QString& text) {
    auto* check = new QCheckBox(text, this);
    check->setGeometry(dlu);
    Name(check, id, text);
    return check;
}

QLineEdit* WizardPage::AddEdit(int id, QRect dlu, int maxChars, std::size_t fieldWidth) {
    auto* edit = new QLineEdit(this);
    // Never QLineEdit's own limit: it cuts text set from code, and a value
    // read from the camera must arrive on the page whole.
    if (maxChars > 0)
        EditLimit::Apply(edit, maxChars, fieldWidth > 0 ? fieldWidth : static_cast<std::size_t>(maxChars) + 1);
    edit->setGeometry(dlu);
    Name(edit, id, QString());
    NameByLabel(edit);
    return edit;
}

QLineEdit* WizardPage::AddReadOnlyEdit(int id, QRect dlu) {
    QLineEdit* edit = AddEdit(id, dlu);
    edit->setReadOnly(true);
    return edit;
}

QComboBox* WizardPage::AddCombo(int id, QRect dlu, bool editable) {
    auto* combo = new QComboBox(this);
    combo->setEditable(editable);
    // The template rectangle of a combo box includes its drop-down list;
    // the closed box is one line high.
    combo->setGeometry(dlu.x(), dlu.y(), dlu.width(), std::min(dlu.height(), DluY(14)));
    Name(combo, id, QString());
    NameByLabel(combo);
    return combo;
}

QGroupBox* WizardPage::AddGroupBox(int id, QRect dlu, const QString& text) {
    auto* box = new QGroupBox(text, this);
    box->setGeometry(dlu);
    box->lower();  // a frame sits behind the controls it surrounds
    if (id == 0) box->setObjectName(QStringLiteral("frame"));
    Name(box, id, text.isEmpty() ? QStringLiteral("Group") : text);
    return box;
}

Ipv4AddressEdit* WizardPage::AddAddress(int id, QRect dlu) {
    auto* ctrl = new Ipv4AddressEdit(this);
    ctrl->setGeometry(dlu.x(), dlu.y(), dlu.width(), std::max(dlu.height(), DluY(13)));
    Name(ctrl, id, QStringLiteral("IP address"));
    NameByLabel(ctrl);
    return ctrl;
}

WizardPage::AddressChoice WizardPage::AddAddressChoice(const AddressChoiceIds& ids, int top) {
    AddressChoice c;
    QButtonGroup* mode = AddRadioGroup();
    c.dhcp = AddRadio(ids.dhcp, Dlu(30, top, 200, 12), QStringLiteral("DHCP  IP Address"), mode);
    c.fixed = AddRadio(ids.fixed, Dlu(30, top + 18, 200, 12), QStringLiteral("Fixed IP"), mode);
    const auto row = [&](int labelId, int id, int y, const char* text) {
        QLabel* label = AddStatic(labelId, Dlu(40, y, 100, 10), QString::fromLatin1(text));
        return std::pair{label, AddAddress(id, Dlu(150, y - 2, 120, 13))};
    };
    const auto [addressLabel, address] = row(ids.addressLabel, ids.address, top + 38, "IP Address");
    const auto [maskLabel, mask] = row(ids.maskLabel, ids.mask, top + 58, "Subnet Mask");
    const auto [gatewayLabel, gateway] = row(ids.gatewayLabel, ids.gateway, top + 78, "Gateway");
    const auto [dnsLabel, dns] = row(ids.dnsLabel, ids.dns, top + 98, "DNS");
    c.address = address;
    c.mask = mask;
    c.gateway = gateway;
    c.dns = dns;
    c.test = AddButton(ids.test, Dlu(40, top + 124, 120, 20), QStringLiteral("Test this IP address "));
    Captions({{c.dhcp, "RadioDHCP"},
              {c.fixed, "RadioFixIP"},
              {addressLabel, "IP"},
              {maskLabel, "Submask"},
              {gatewayLabel, "Gateway"},
              {dnsLabel, "DNS"},
              {c.test, "BtnSendARP", kMessageCapacity}});
    connect(address, &Ipv4AddressEdit::AddressChanged, this, [address, mask] {
        // Anything else keeps the mask as it is.
        if (const auto classful = ClassfulMask(address->Value())) mask->SetValue(*classful);
    });
    return c;
}

QTreeWidget* WizardPage::AddList(int id, QRect dlu, const QStringList& columns) {
    auto* list = new QTreeWidget(this);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setColumnCount(static_cast<int>(columns.size()));
    list->setHeaderLabels(columns);
    list->setGeometry(dlu);
    Name(list, id, QStringLiteral("List"));
    NameByLabel(list);
    return list;
}

PictureFrame* WizardPage::AddPicture(int id, QRect dlu, int pictureId) {
    auto* frame = new PictureFrame(this);
    frame->setGeometry(dlu);
    frame->SetPicture(pictureId);
    if (id == 0) frame->setObjectName(QStringLiteral("picture"));
    // The frame names itself after what its picture shows.
    if (id != 0) frame->setObjectName(QString::number(id));
    return frame;
}

ToolbarButton* WizardPage::AddBackButton(int id, const QString& text) {
    back_ = AddIconButton(id, Dlu(0, 242, 76, 25), text, art::kIconBack, ToolbarButton::IconSide::Left);
    back_->SetToolbarStyle(true);
    return back_;
}

ToolbarButton* WizardPage::AddNextButton(int id, const QString& text) {
    next_ = AddIconButton(id, Dlu(313, 242, 76, 25), text, art::kIconNext, ToolbarButton::IconSide::Right);
    next_->SetToolbarStyle(true);
    return next_;
}

ToolbarButton* WizardPage::AddFinishButton(int id, const QString& text) {
    finish_ = AddIconButton(id, Dlu(313, 242, 76, 25), text, art::kIconFinish, ToolbarButton::IconSide::Right);
    finish_->SetToolbarStyle(true);
    return finish_;
}

ToolbarButton* WizardPage::AddSaveButton(int id, const QString& text, QRect dlu) {
    save_ = AddIconButton(id, dlu, text, art::kIconNext, ToolbarButton::IconSide::Right);
    save_->SetToolbarStyle(true);
    return save_;
}

QLabel* WizardPage::AddStepTitle(int id, const char* titleKey, std::size_t capacity, const QString& text) {
    // The picture only decorates the title, which says the step: no name of
    // its own for a screen reader to announce, the title as its description.
    titleIcon_ = new QLabel(this);
    titleIcon_->setObjectName(QStringLiteral("titleIcon"));
    titleIcon_->setPixmap(art::Icon(art::kIconTitle).pixmap(DluX(20), DluX(20)));
    titleIcon_->setGeometry(Dlu(3, 3, 20, 20));
    titleIcon_->setAccessibleDescription(AccessibleText(text));
    title_ = AddStatic(id, Dlu(26, 3, 360, 22), text);
    title_->setWordWrap(false);
    title_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    title_->setFont(TitleFont());
    titleKey_ = titleKey;
    titleCapacity_ = capacity;
    FitTitle();
    return title_;
}

void WizardPage::FitTitle() {
    // The title font when the caption fits on one line. A longer caption
    // wraps onto two lines in the largest size that holds them, but never
    // below the normal text size: smaller would be hard to read, so a caption
    // that does not fit even then needs a shorter translation (the caption
    // fit test names it).
    if (title_ == nullptr) return;
    const QRect box = title_->contentsRect();
    const QString text = title_->text();
    const auto fits = [&](const QFont& font, int flags) {
        const QRect needed = QFontMetrics(font).boundingRect(box, flags, text);
        return needed.width() <= box.width() && needed.height() <= box.height();
    };
    QFont font = TitleFont();
    constexpr int kOneLine = Qt::AlignLeft | Qt::AlignVCenter;
    if (fits(font, kOneLine)) {
        title_->setWordWrap(false);
        title_->setFont(font);
        return;
    }
    const int normal = QFontInfo(QApplication::font()).pixelSize();
    int size = font.pixelSize() - 1;
    for (; size > normal; --size) {
        font.setPixelSize(size);
        if (fits(font, kOneLine | Qt::TextWordWrap)) break;
    }
    font.setPixelSize(qMax(size, normal));
    title_->setWordWrap(true);
    title_->setFont(font);
}

}  // namespace orvanta
