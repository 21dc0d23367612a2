#include "gui/pages/ServerLoginPage.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <memory>

#include "core/camera/CameraService.h"
#include "core/settings/FixedField.h"
#include "gui/framework/DeploymentSettings.h"

namespace orvanta {
namespace {

// The page's message, kept from its section.
constexpr const char* kNeedIdAndPassword = "Message1";

}  // namespace

ServerLoginPage::ServerLoginPage(QWidget* parent) : WizardPage(145, "LoginPage", parent) {
    QLabel* note = AddStatic(kNote, Dlu(30, 34, 340, 30), QString());
    QLabel* loginTypeLabel = AddStatic(kLoginTypeLabel, Dlu(30, 74, 100, 10), QStringLiteral("Login Type"));
    loginType_ = AddCombo(kLoginType, Dlu(140, 72, 150, 40), false);
    loginType_->addItems({QStringLiteral("Device login"), QStringLiteral("User login")});
    loginType_->setCurrentIndex(0);
    QLabel* idLabel = AddStatic(kIdLabel, Dlu(30, 94, 100, 10), QStringLiteral("ID"));
    id_ = AddEdit(kId, Dlu(140, 92, 150, 13), 32, sizeof(ServerCredentials::ID));
    QLabel* passwordLabel = AddStatic(kPasswordLabel, Dlu(30, 114, 100, 10), QStringLiteral("Password"));
    password_ = AddEdit(kPassword, Dlu(140, 112, 150, 13), 32, sizeof(ServerCredentials::Password));
    password_->setEchoMode(QLineEdit::Password);
    QPushButton* exit = AddButton(kExit, Dlu(160, 242, 60, 20), QStringLiteral("Exit"));
    exit->hide();
    exit->setEnabled(false);
    AddStepTitle(kTitle, "TitleLogin", kMessageCapacity, QString());

    Captions({{note, "Note"}, {loginTypeLabel, "LoginType"}, {idLabel, "ID"}, {passwordLabel, "Password"}});
    KeptTexts({{kNeedIdAndPassword, kMessageCapacity}});

    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &ServerLoginPage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &ServerLoginPage::OnNext);
    connect(exit, &QAbstractButton::clicked, this, &ServerLoginPage::OnBack);
}

void ServerLoginPage::ApplyLanguage(const LanguageStrings& lang) {
    WizardPage::ApplyLanguage(lang);
    // Item 0 is always the device login, whatever the language calls it.
    loginType_->clear();
    loginType_->addItems({Text(lang, "DiviceLogin", kCaptionCapacity), Text(lang, "UserLogin", kCaptionCapacity)});
    loginType_->setCurrentIndex(0);
}

void ServerLoginPage::OnBack() { PostCommand(WizardCommand::StartOver); }

void ServerLoginPage::OnNext() {
    const QString id = id_->text();
    const QString password = password_->text();
    if (id.isEmpty() || password.isEmpty()) {
        Ask(Kept(kNeedIdAndPassword), QString(), PromptIcon::Warning);
        return;
    }
    SetField(credentials_.ID, id.toLocal8Bit().toStdString());
    SetField(credentials_.Password, password.toLocal8Bit().toStdString());
    const ListingLogin login = loginType_->currentIndex() != 0 ? ListingLogin::User : ListingLogin::Device;

    // A failed query leaves no entries behind, so the list page never pairs
    // an old count with a missing list.
    entries_.clear();
    const DeploymentSettings* deployment = Context() ? Context()->deployment : nullptr;
    if (deployment == nullptr || !deployment->HasListingServer() || !Context()->runCameraWork) {
        PostCommand(WizardCommand::ShowServerCameraListPage);
        return;
    }
    struct Query {
        std::string host, port;
        uint32_t count = 0;
        std::optional<std::vector<ServerCameraEntry>> found;
    };
    auto query = std::make_shared<Query>();
    query->host = deployment->listingHost.trimmed().toStdString();
    query->port = std::to_string(deployment->listingPort);
    CameraWork work;
    work.run = [query, credentials = credentials_, login](CameraService& camera, CameraSettings&) {
        query->found = camera.QueryServer(credentials, query->count, query->host.c_str(), query->port.c_str(), login,
                                          Deadline::Never());
    };
    const QPointer<ServerLoginPage> self(this);
    work.finished = [self, query](const CameraSettings&) {
        if (!self) return;
        if (query->found) {
            query->found->resize(std::min<std::size_t>(query->found->size(), query->count));
            self->entries_ = std::move(*query->found);
        }
        self->PostCommand(WizardCommand::ShowServerCameraListPage);
    };
    // Cancelled: the login page stays, for another try.
    if (!Context()->runCameraWork(std::move(work))) PostCommand(WizardCommand::ShowServerCameraListPage);
}

}  // namespace orvanta
