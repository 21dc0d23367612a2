// The server login page: ID, password and login type for the camera-listing
// server. Next asks the server and hands over to the server camera list,
// whatever the answer; the list page shows no rows when the query failed.
#pragma once

#include <vector>

#include "core/camera/ListingServerQuery.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

class ServerLoginPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kNote = 1290,
        kLoginTypeLabel = 1291,
        kLoginType = 1268,
        kIdLabel = 1292,
        kId = 1019,
        kPasswordLabel = 1293,
        kPassword = 1021,
        kExit = 1046,
        kTitle = 1356,
        kBack = 1047,
        kNext = 1048,
    };

    explicit ServerLoginPage(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

    // The result of the last query: the entries the server listed (empty
    // after a failed query, never a count without entries).
    const std::vector<ServerCameraEntry>& Entries() const { return entries_; }
    const ServerCredentials& Credentials() const { return credentials_; }

protected slots:
    virtual void OnBack();
    virtual void OnNext();

private:
    QLineEdit* id_ = nullptr;
    QLineEdit* password_ = nullptr;
    QComboBox* loginType_ = nullptr;
    ServerCredentials credentials_{};
    std::vector<ServerCameraEntry> entries_;
};

}  // namespace orvanta
