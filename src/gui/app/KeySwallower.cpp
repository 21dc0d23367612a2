#include "gui/app/KeySwallower.h"

#include <QKeyEvent>
#include <QMetaObject>
#include <QWidget>

#include <string_view>

namespace orvanta {

namespace {

// The wizard's own windows are the classes it defines (the main window, its
// dialogs and the wait window), all in this namespace. A message box, a popup
// or a file dialog is one of Qt's, whoever opened it.
bool IsWizardWindow(const QWidget* window) {
    for (const QMetaObject* m = window->metaObject(); m != nullptr; m = m->superClass())
        if (std::string_view(m->className()).starts_with("orvanta::")) return true;
    return false;
}

}  // namespace

bool KeySwallower::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape)
        return QObject::eventFilter(watched, event);
    // A key from the window system reaches the window's QWindow first, which
    // hands it on to the focused widget: the choice is made there, where it
    // is known whose window the key is for.
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) return false;
    return IsWizardWindow(widget->window());
}

}  // namespace orvanta
