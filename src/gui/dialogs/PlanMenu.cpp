#include "gui/dialogs/PlanMenu.h"

#include <QMenu>
#include <QPointer>
#include <QTreeWidget>

#include "core/i18n/LanguageStrings.h"
#include "gui/framework/Prompter.h"
#include "gui/framework/WizardContext.h"
#include "gui/dialogs/PlanDialog.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

QAction* AddPlanAction(QMenu& menu, QTreeWidget* list, std::initializer_list<int> identityColumns,
                       WizardContext* context) {
    if (!context || !context->languageFilePath) return nullptr;
    const std::string path = *context->languageFilePath;
    QString caption = WizardPage::Text(LanguageStrings(path), "DlgProvision", "MenuSetUp", kCaptionCapacity);
    if (caption.isEmpty()) caption = QStringLiteral("Set up from a plan\u2026");
    QAction* setUp = menu.addAction(caption);
    setUp->setObjectName(QStringLiteral("setUpFromPlan"));
    // The list outlives the menu; the guard covers a page torn down while
    // the menu is open.
    const QList<int> columns(identityColumns);
    QObject::connect(setUp, &QAction::triggered, list, [list = QPointer<QTreeWidget>(list), columns, context, path] {
        if (!list) return;
        QStringList cameras;
        for (const QTreeWidgetItem* row : list->selectedItems())
            for (int column : columns)
                if (!row->text(column).isEmpty()) cameras << row->text(column);
        PlanDialog dialog(path, cameras, context->hostNetwork, context->prompter, list->window());
        if (context->prompter) context->prompter->RunModal(dialog);
        else dialog.exec();
    });
    return setUp;
}

}  // namespace orvanta
