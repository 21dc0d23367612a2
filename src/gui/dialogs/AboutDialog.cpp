#include "gui/dialogs/AboutDialog.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <utility>

#include "core/i18n/LanguageStrings.h"
#include "gui/controls/Art.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

AboutDialog::AboutDialog(const std::string& languageFilePath, QWidget* parent) : QDialog(parent) {
    setObjectName(QString::number(kDialog));
    // A refused file was reported when the window loaded it; not again here.
    const LanguageStrings lang(languageFilePath, [](const std::string&) {});
    const auto text = [&lang](const char* key) {
        return WizardPage::Text(lang, "AboutDlg", key, kMessageCapacity);
    };

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setAccessibleName(QStringLiteral("Orvanta"));
    icon->setPixmap(art::Icon(art::kIconApp).pixmap(32, 32));

    // The texts come from language files of every length and are shown at
    // any scale: a layout wraps them and grows the dialog to hold them,
    // where fixed rectangles would overlap or cut them.
    const auto makeInfo = [this](Id id) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::number(id));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setMinimumWidth(WizardPage::DluX(130));
        return label;
    };
    info1_ = makeInfo(kProductLine);
    info2_ = makeInfo(kDetails);
    ok_ = new QPushButton(this);
    ok_->setObjectName(QString::number(kOk));
    ok_->setMinimumWidth(WizardPage::DluX(50));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(info1_);
    texts->addWidget(info2_);
    texts->addStretch(1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok_);
    buttons->addStretch(1);
    auto* row = new QHBoxLayout(this);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(texts, 1);
    row->addLayout(buttons);
    row->setSizeConstraint(QLayout::SetFixedSize);

    const std::pair<QWidget*, const char*> captions[] = {{info1_, "Info1"}, {info2_, "Info2"}, {ok_, "BtnOK"}};
    for (const auto& [control, key] : captions) WizardPage::SetControlText(control, text(key));
    if (ok_->text().isEmpty()) ok_->setAccessibleName(QStringLiteral("OK"));
    // Laid out now, not first on show, so the size is right for whoever
    // places or measures the dialog before it is shown.
    row->activate();
    setWindowTitle(text("DlgTitle"));
    setAccessibleName(windowTitle().isEmpty() ? QStringLiteral("About") : windowTitle());
}

}  // namespace orvanta
