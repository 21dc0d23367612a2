#include "gui/app/AccessibleRoles.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

#include "gui/app/WizardWindow.h"
#include "gui/controls/Ipv4AddressEdit.h"

namespace orvanta {
namespace {

// Qt asks the factories with each class name of an object's class chain,
// most derived first.
QAccessibleInterface* WizardAccessibleFactory(const QString& key, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (key == QLatin1String(WizardWindow::staticMetaObject.className()))
        return new QAccessibleWidget(widget, QAccessible::Dialog);
    if (key == QLatin1String(Ipv4AddressEdit::staticMetaObject.className()))
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    return nullptr;
}

}  // namespace

void InstallAccessibleRoles() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(WizardAccessibleFactory);
}

}  // namespace orvanta
