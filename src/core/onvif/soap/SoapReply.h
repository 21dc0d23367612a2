// A SOAP reply read: the first element of its Body, or its fault told as an
// OnvifStatus. SOAP 1.2 as ONVIF requires, and SOAP 1.1 faults, which some
// older firmware still sends.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "core/base/Deadline.h"
#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

struct SoapFault {
    std::string code;                    // "Sender", "Receiver", ... (local name)
    std::vector<std::string> subcodes;   // "{uri}local", outermost first
    std::string reason;                  // the first Reason text
};

struct SoapReply {
    pugi::xml_document document;
    pugi::xml_node body;                 // the Body's first element (when not a fault)
    bool isFault = false;
    SoapFault fault;
};

// Reads one envelope. Ok with `reply.body` set; the fault's status (see
// FaultStatus) with its reason in detail; BadReply when the text is not a
// SOAP envelope we can read; TimedOut when `deadline` (the call's) passed
// before the reply was read.
OnvifResult ReadSoapReply(std::string_view text, SoapReply& reply, const Deadline& deadline = Deadline::Never());

// What a fault means to the caller: ter:NotAuthorized and the WS-Security
// failures are NotAuthorized, ter:ActionNotSupported and its kin
// NotSupported, a reason naming an unknown user NoOnvifUser, one saying
// ONVIF is switched off OnvifDisabled; anything else Fault.
OnvifStatus FaultStatus(const SoapFault& fault);

// "{uri}local" as kept in SoapFault::subcodes.
std::string ExpandedName(std::string_view uri, std::string_view local);

}  // namespace orvanta::onvif
