// The server camera list page: the cameras registered on the listing server.
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
    // What this page's own buttons do comes with the page's flow; until
    // then they do nothing.
    virtual void OnBack();
    virtual void OnNext();
};

}  // namespace orvanta
