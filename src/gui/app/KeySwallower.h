// Enter and Escape do nothing in the wizard's own windows: no page or dialog
// of ours can be closed, nor a default button pressed, with them. Installed
// once on the application. Every other window keeps both keys: the message
// boxes (a question is still answered from the keyboard), open popups (a
// combo box's list, a context menu, which would otherwise hold the keyboard
// captive) and Qt's own dialogs that pages open (the file dialogs of the
// export and of the plan), where Enter confirms the name typed and Escape
// cancels.
#pragma once

#include <QObject>

namespace orvanta {

class KeySwallower : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace orvanta
