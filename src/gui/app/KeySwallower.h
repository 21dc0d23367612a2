// Enter and Escape do nothing anywhere in the wizard: no page or dialog can
// be closed, nor a default button pressed, with them. Installed once on the
// application. Message boxes keep both keys, so a question can still be
// answered from the keyboard, and so do open popups (a combo box's list, a
// context menu), which would otherwise hold the keyboard captive.
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
