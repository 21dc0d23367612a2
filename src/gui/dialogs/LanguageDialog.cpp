#include "gui/dialogs/LanguageDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "gui/controls/Art.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

LanguageDialog::LanguageDialog(const std::vector<std::string>& names, int preselect, std::string previousChoice,
                           QWidget* parent)
    : QDialog(parent), chosenName_(std::move(previousChoice)) {
    setObjectName(QString::number(kDialog));
    setWindowTitle(QStringLiteral("Travolis2"));
    setAccessibleName(QStringLiteral("Language"));
    setFixedSize(WizardPage::DluX(180), WizardPage::DluY(90));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xFC, 0xFD, 0xFF));
    setPalette(pal);
    setAutoFillBackground(true);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setAccessibleName(QStringLiteral("Language"));
    icon->setPixmap(art::Icon(art::kIconLanguage).pixmap(32, 32));
    icon->setGeometry(WizardPage::Dlu(10, 10, 22, 22));

    auto* label = new QLabel(QStringLiteral("Language"), this);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(WizardPage::Dlu(40, 14, 120, 10));

    combo_ = new QComboBox(this);
    combo_->setObjectName(QString::number(kLanguageList));
    combo_->setAccessibleName(QStringLiteral("Language"));
    combo_->setEditable(true);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setGeometry(WizardPage::Dlu(40, 28, 125, 14));
    for (const auto& name : names) combo_->addItem(QString::fromStdString(name));
    // Nothing preselected leaves the field empty.
    combo_->setCurrentIndex(preselect >= 0 && preselect < combo_->count() ? preselect : -1);
    if (combo_->currentIndex() < 0) combo_->setEditText(QString());

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QString::number(kOk));
    ok_->setAccessibleName(QStringLiteral("OK"));
    ok_->setGeometry(WizardPage::Dlu(65, 62, 50, 14));
    connect(ok_, &QPushButton::clicked, this, &LanguageDialog::Confirm);
}

void LanguageDialog::Confirm() {
    chosenName_ = combo_->currentText().toStdString();
    accept();
}

}  // namespace orvanta
