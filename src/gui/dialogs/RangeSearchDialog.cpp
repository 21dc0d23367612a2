#include "gui/dialogs/RangeSearchDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

#include "gui/framework/WizardPage.h"

namespace orvanta {

namespace {

// The user's own settings (not the deployment's orvanta.ini beside the
// program): the ranges are a site's, not an installation's.
QSettings UserSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("orvanta"), QStringLiteral("orvanta"));
}
constexpr const char* kRangesKey = "search/ranges";

}  // namespace

QString KeptSearchRanges() { return UserSettings().value(QLatin1String(kRangesKey)).toString(); }

void KeepSearchRanges(const QString& ranges) { UserSettings().setValue(QLatin1String(kRangesKey), ranges); }

RangeSearchDialog::RangeSearchDialog(const QString& ranges, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("rangeSearchDialog"));
    setModal(true);
    setWindowTitle(QStringLiteral("Search other networks"));
    setAccessibleName(windowTitle());
    setFixedSize(WizardPage::DluX(240), WizardPage::DluY(104));
    auto* intro = new QLabel(this);
    intro->setObjectName(QStringLiteral("rangesNote"));
    intro->setWordWrap(true);
    intro->setTextFormat(Qt::PlainText);
    intro->setText(QStringLiteral(
        "Cameras behind a router answer no search of this network. Give the address ranges they are in "
        "(for example 10.20.0.0/22, 10.30.5.0/24); each address is asked through the PC's routes."));
    intro->setGeometry(WizardPage::Dlu(8, 6, 224, 34));
    edit_ = new QLineEdit(ranges, this);
    edit_->setObjectName(QStringLiteral("ranges"));
    edit_->setAccessibleName(QStringLiteral("Address ranges"));
    edit_->setGeometry(WizardPage::Dlu(8, 42, 224, 13));
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("rangesProblem"));
    problem_->setAccessibleName(QStringLiteral("What is wrong with the ranges"));
    problem_->setWordWrap(true);
    problem_->setTextFormat(Qt::PlainText);
    problem_->setGeometry(WizardPage::Dlu(8, 58, 224, 22));
    search_ = new QPushButton(QStringLiteral("Search"), this);
    search_->setObjectName(QStringLiteral("searchRanges"));
    search_->setAccessibleName(search_->text());
    search_->setDefault(true);
    search_->setGeometry(WizardPage::Dlu(126, 84, 50, 14));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelRanges"));
    cancel->setAccessibleName(cancel->text());
    cancel->setGeometry(WizardPage::Dlu(182, 84, 50, 14));
    connect(search_, &QPushButton::clicked, this, &RangeSearchDialog::OnSearch);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void RangeSearchDialog::OnSearch() {
    // Checked before anything is sent: a refused range is named and the
    // dialog stays for the user to mend it.
    std::string why;
    const std::string typed = edit_->text().trimmed().toStdString();
    const auto ranges = onvif::ParseAddressRanges(typed, why);
    if (!ranges) {
        problem_->setText(QString::fromStdString(why));
        return;
    }
    text_ = edit_->text().trimmed();
    ranges_ = *ranges;
    accept();
}

}  // namespace orvanta
