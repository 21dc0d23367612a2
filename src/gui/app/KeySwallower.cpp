#include "gui/app/KeySwallower.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QWidget>

namespace orvanta {

bool KeySwallower::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape)
        return QObject::eventFilter(watched, event);
    if (auto* widget = qobject_cast<QWidget*>(watched)) {
        if (qobject_cast<QMessageBox*>(widget->window()) != nullptr) return false;
        // An open popup (a combo box's list, a context menu) takes both keys
        // to choose and to close: swallowing them would trap the keyboard.
        if (widget->window()->windowType() == Qt::Popup) return false;
    }
    return true;
}

}  // namespace orvanta
