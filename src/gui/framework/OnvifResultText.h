// What the user is told when an ONVIF camera's login or change fails: one
// sentence per outcome from the language file ([OnvifMessages]), then the
// camera's or the network's own detail as plain text on a line of its own.
#pragma once

#include <QString>

#include "core/onvif/OnvifTypes.h"

namespace orvanta {

class LanguageStrings;

QString OnvifResultText(const LanguageStrings& lang, const onvif::OnvifResult& result);

}  // namespace orvanta
