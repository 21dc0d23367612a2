#include "gui/dialogs/PlanMenu.h"

#include <QMenu>
#include <QTreeWidget>

#include "core/i18n/LanguageStrings.h"
#include "gui/framework/Prompter.h"
#include "gui/framework/WizardContext.h"
#include "gui/dialogs/PlanDialog.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

void ShowPlanMenu(QTreeWidget* list, int macColumn, const QPoint& pos, WizardContext* context) {
    if (!context || !context->languageFilePath) return;
    const std::string path = *context->languageFilePath;
    QMenu menu(list);
    menu.setObjectName(QStringLiteral("searchListMenu"));
    QString caption = WizardPage::Text(LanguageStrings(path), "DlgProvision", "MenuSetUp", kCaptionCapacity);
    if (caption.isEmpty()) caption = QStringLiteral("Set up from a plan\u2026");
    QAction* setUp = menu.addAction(caption);
    if (menu.exec(list->viewport()->mapToGlobal(pos)) != setUp) return;
    QStringList macs;
    for (const QTreeWidgetItem* row : list->selectedItems()) macs << row->text(macColumn);
    PlanDialog dialog(path, macs, context->hostNetwork, context->prompter, list->window());
    if (context->prompter) context->prompter->RunModal(dialog);
    else dialog.exec();
}

}  // namespace orvanta
