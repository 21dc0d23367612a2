// The server login page: ID, password and login type for the camera-listing
// server. Next asks the server and hands over to the server camera list,
// whatever the answer; the list page shows no rows when the query failed.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/camera/ListingServerQuery.h"
#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubLogin : public CWizardPage {
    Q_OBJECT
public:
    // The shape of QueryServerCameras.
    using QueryFunction = std::function<std::optional<std::vector<ServerCameraEntry>>(
        const ServerCredentials&, uint32_t& countOut, const char* host, const char* port, int action,
        int loginType)>;

    explicit CSubLogin(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

    void SetQueryFunction(QueryFunction query) { query_ = std::move(query); }

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
    QueryFunction query_;
};

}  // namespace orvanta
