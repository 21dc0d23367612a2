#include "gui/framework/WizardCommand.h"

namespace orvanta {

QEvent::Type WizardCommandEvent::EventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

}  // namespace orvanta
