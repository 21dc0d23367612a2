// Acting on a page's controls the way a user does.
#pragma once

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include "gui/framework/WizardPage.h"

namespace orvanta::testing {

// A control of `page` by its id; a missing one ends the program at once
// (the test would only crash on it later).
template <class T>
T* On(WizardPage* page, int id) {
    T* c = page->Control<T>(id);
    if (!c) qFatal("control %d missing", id);
    return c;
}

// A user's choice in a list: the selection and the notification.
inline void Choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Types `text` at the cursor one character at a time, any character
// (QTest::keyClicks takes Latin-1 only).
inline void TypeAtCursor(QWidget* edit, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(edit, &release);
    }
}

// Replaces an edit's text by typing, so that typing limits apply.
inline void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    TypeAtCursor(edit, text);
}

}  // namespace orvanta::testing
