// The search list's "Set up from a plan..." entry: the plan dialog for the
// cameras selected (or, with none selected, for every row of the plan). An
// entry of the list's one context menu, which the search page builds.
#pragma once

#include <initializer_list>

class QAction;
class QMenu;
class QTreeWidget;

namespace orvanta {

struct WizardContext;

// Adds the entry to `menu` (named "setUpFromPlan"); choosing it runs the plan
// dialog. `identityColumns`: the list columns that name a camera as a plan
// row does (its MAC; an ONVIF camera's endpoint reference). Null, and
// nothing added, without a language file to caption it from.
QAction* AddPlanAction(QMenu& menu, QTreeWidget* list, std::initializer_list<int> identityColumns,
                       WizardContext* context);

}  // namespace orvanta
