// The search list's context menu: "Set up from a plan..." for the cameras
// selected (or, with none selected, for every row of the plan).
#pragma once

#include <QPoint>

class QTreeWidget;

namespace orvanta {

struct WizardContext;

// Shows the menu at `pos` (in the list's viewport) and runs the plan dialog
// when its entry is chosen. `macColumn`: the list column holding the MAC.
void ShowPlanMenu(QTreeWidget* list, int macColumn, const QPoint& pos, WizardContext* context);

}  // namespace orvanta
