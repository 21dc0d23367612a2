// The server camera list page: the cameras registered on the listing server.
// A double click opens a camera's web page.
#pragma once

#include <cstdint>
#include <vector>

#include "core/base/Ipv4Address.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

class ServerLoginPage;

class ServerCameraListPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kListLabel = 1347,
        kList = 1271,
        kTitle = 1357,
        kBack = 1007,
        kFinish = 1000,
    };

    explicit ServerCameraListPage(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

    // Takes the entries of the last server query from the login page and
    // fills the list (on ShowServerCameraListPage).
    void TakeEntries(const ServerLoginPage& login);

protected slots:
    virtual void OnBack();
    virtual void OnNext();
    void OnOpenCamera();

private:
    // What a row's camera is reached by, read once from the server's entry.
    struct Listed {
        Ipv4Address address;
        uint8_t mac[6] = {};
        QString web;  // its web page
    };

    QTreeWidget* list_ = nullptr;
    std::vector<Listed> listed_;  // one a row, in the list's order
};

}  // namespace orvanta
