// The server camera list page: the cameras registered on the listing server.
// A double click opens a camera's web page.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubLogin;

class CSubLinkSer : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubLinkSer(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

    // Takes the entries of the last server query from the login page and
    // fills the list (code 13).
    void TakeEntries(const CSubLogin& login);

protected slots:
    virtual void OnBack();
    virtual void OnNext();
    void OnOpenCamera();

private:
    QTreeWidget* list_ = nullptr;
};

}  // namespace orvanta
