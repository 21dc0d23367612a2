#include "gui/pages/CSubLogin.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/settings/FixedField.h"
#include "gui/app/DeploymentSettings.h"

namespace orvanta {

CSubLogin::CSubLogin(QWidget* parent) : CWizardPage(145, "LoginPage", parent) {
    AddStatic(1290, Dlu(30, 34, 340, 30), QString());
    AddStatic(1291, Dlu(30, 74, 100, 10), QStringLiteral("Login Type"));
    loginType_ = AddCombo(1268, Dlu(140, 72, 150, 40), false);
    loginType_->addItems({QStringLiteral("Device login"), QStringLiteral("User login")});
    loginType_->setCurrentIndex(0);
    AddStatic(1292, Dlu(30, 94, 100, 10), QStringLiteral("ID"));
    id_ = AddEdit(1019, Dlu(140, 92, 150, 13), 32, sizeof(ServerCredentials::ID));
    AddStatic(1293, Dlu(30, 114, 100, 10), QStringLiteral("Password"));
    password_ = AddEdit(1021, Dlu(140, 112, 150, 13), 32, sizeof(ServerCredentials::Password));
    password_->setEchoMode(QLineEdit::Password);
    QPushButton* exit = AddButton(1046, Dlu(160, 242, 60, 20), QStringLiteral("Exit"));
    exit->hide();
    exit->setEnabled(false);
    AddStepTitle(1356, "TitleLogin", 1024, QString());
    connect(AddBackButton(1047, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubLogin::OnBack);
    connect(AddNextButton(1048, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubLogin::OnNext);
    connect(exit, &QAbstractButton::clicked, this, &CSubLogin::OnBack);
}

void CSubLogin::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1290), lang, "Note", 260);
    SetCaption(Control(1291), lang, "LoginType", 260);
    SetCaption(Control(1292), lang, "ID", 260);
    SetCaption(Control(1293), lang, "Password", 260);
    KeepText(lang, "Message1", 1024);
    // Item 0 is always the device login, whatever the language calls it.
    loginType_->clear();
    loginType_->addItems({Text(lang, "DiviceLogin", 260), Text(lang, "UserLogin", 260)});
    loginType_->setCurrentIndex(0);
}

void CSubLogin::OnBack() { PostCommand(cmd::kFirstPage); }

void CSubLogin::OnNext() {
    const QString id = id_->text();
    const QString password = password_->text();
    if (id.isEmpty() || password.isEmpty()) {
        Ask(Kept("Message1"), QString(), mb::kOk | mb::kIconExclamation);
        return;
    }
    SetField(credentials_.ID, id.toLocal8Bit().toStdString());
    SetField(credentials_.Password, password.toLocal8Bit().toStdString());
    const int loginType = loginType_->currentIndex() != 0 ? kLoginUser : kLoginDevice;

    // A failed query leaves no entries behind, so the list page never pairs
    // an old count with a missing list.
    entries_.clear();
    const DeploymentSettings* deployment = Context() ? Context()->deployment : nullptr;
    if (deployment != nullptr && deployment->HasListingServer()) {
        const std::string host = deployment->listingHost.trimmed().toStdString();
        const std::string port = std::to_string(deployment->listingPort);
        uint32_t count = 0;
        std::optional<std::vector<ServerCameraEntry>> found =
            query_ ? query_(credentials_, count, host.c_str(), port.c_str(), kListingActionQuery, loginType)
                   : QueryServerCameras(credentials_, count, host.c_str(), port.c_str(), kListingActionQuery,
                                        loginType);
        if (found) {
            found->resize(std::min<std::size_t>(found->size(), count));
            entries_ = std::move(*found);
        }
    }
    PostCommand(cmd::kServerListPage);
}

}  // namespace orvanta
