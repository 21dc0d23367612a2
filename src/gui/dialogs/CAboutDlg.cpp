#include "gui/controls/CaptionLayout.h"
#include "gui/dialogs/CAboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "core/i18n/LanguageStrings.h"
#include "gui/app/Art.h"
#include "gui/pages/CWizardPage.h"

namespace orvanta {

CAboutDlg::CAboutDlg(const std::string& languageFilePath, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("100"));
    setFixedSize(CWizardPage::DluX(235), CWizardPage::DluY(70));
    // A refused file was reported when the window loaded it; not again here.
    const LanguageStrings lang(languageFilePath, [](const std::string&) {});
    const auto text = [&lang](const char* key) {
        return CWizardPage::Text(lang, "AboutDlg", key, 1024);
    };

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setAccessibleName(QStringLiteral("Orvanta"));
    icon->setPixmap(art::Icon(art::kIconApp).pixmap(32, 32));
    icon->setGeometry(CWizardPage::Dlu(11, 17, 21, 20));

    info1_ = new QLabel(this);
    info1_->setObjectName(QStringLiteral("1371"));
    info1_->setTextFormat(Qt::PlainText);
    info1_->setWordWrap(true);
    info1_->setGeometry(CWizardPage::Dlu(40, 10, 130, 16));
    info2_ = new QLabel(this);
    info2_->setObjectName(QStringLiteral("1372"));
    info2_->setTextFormat(Qt::PlainText);
    info2_->setWordWrap(true);
    info2_->setGeometry(CWizardPage::Dlu(40, 30, 130, 26));
    ok_ = new QPushButton(this);
    ok_->setObjectName(QStringLiteral("1373"));
    ok_->setGeometry(CWizardPage::Dlu(178, 7, 50, 14));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    CWizardPage::SetControlText(info1_, text("Info1"));
    CWizardPage::SetControlText(info2_, text("Info2"));
    CWizardPage::SetControlText(ok_, text("BtnOK"));
    if (ok_->text().isEmpty()) ok_->setAccessibleName(QStringLiteral("OK"));
    // The texts wrap at the template width; the dialog grows to hold them.
    info1_->resize(info1_->width(), qMax(info1_->height(), info1_->heightForWidth(info1_->width())));
    info2_->move(info2_->x(), qMax(info2_->y(), info1_->geometry().bottom() + 1 + CWizardPage::DluY(2)));
    info2_->resize(info2_->width(), qMax(info2_->height(), info2_->heightForWidth(info2_->width())));
    setFixedHeight(qMax(height(), info2_->geometry().bottom() + 1 + CWizardPage::DluY(7)));
    FitCaptions(this);
    setWindowTitle(text("DlgTitle"));
    setAccessibleName(windowTitle().isEmpty() ? QStringLiteral("About") : windowTitle());
}

}  // namespace orvanta
