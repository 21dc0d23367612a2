#include "gui/app/QtPrompter.h"

#include <QDialog>
#include <QMessageBox>

namespace orvanta {

PromptAnswer QtPrompter::Ask(QWidget* owner, const Prompt& prompt) {
    QMessageBox box(owner);
    box.setTextFormat(Qt::PlainText);
    box.setText(prompt.text);
    box.setWindowTitle(prompt.caption);
    switch (prompt.icon) {
        case PromptIcon::Critical: box.setIcon(QMessageBox::Critical); break;
        case PromptIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case PromptIcon::Information: box.setIcon(QMessageBox::Information); break;
        case PromptIcon::Question: box.setIcon(QMessageBox::Question); break;
        case PromptIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    }
    switch (prompt.buttons) {
        case PromptButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            break;
        case PromptButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case PromptButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setEscapeButton(QMessageBox::No);
            break;
    }
    const int r = box.exec();
    switch (r) {
        case QMessageBox::Ok: return PromptAnswer::Ok;
        case QMessageBox::Yes: return PromptAnswer::Yes;
        case QMessageBox::No: return PromptAnswer::No;
        default: break;
    }
    return prompt.buttons == PromptButtons::YesNo ? PromptAnswer::No
           : prompt.buttons == PromptButtons::Ok  ? PromptAnswer::Ok
                                                  : PromptAnswer::Cancel;
}

int QtPrompter::RunModal(QDialog& dialog) { return dialog.exec(); }

}  // namespace orvanta
