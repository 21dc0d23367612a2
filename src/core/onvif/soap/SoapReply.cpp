#include "core/onvif/soap/SoapReply.h"

#include <algorithm>
#include <cctype>

#include "core/onvif/soap/OnvifNamespaces.h"
#include "core/onvif/soap/OnvifXml.h"

namespace orvanta::onvif {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool Mentions(const std::string& lowerText, std::initializer_list<const char*> words) {
    return std::any_of(words.begin(), words.end(), [&](const char* w) { return lowerText.find(w) != std::string::npos; });
}

// SOAP 1.2: Code/Value, then Subcode/Value nested to any depth.
void ReadFault12(const pugi::xml_node& fault, SoapFault& out) {
    const char* env = ns::kSoap12;
    pugi::xml_node code = ChildElement(fault, env, "Code");
    const pugi::xml_node value = ChildElement(code, env, "Value");
    out.code = ResolveQName(value, ElementText(value)).local;
    for (pugi::xml_node sub = ChildElement(code, env, "Subcode"); sub; sub = ChildElement(sub, env, "Subcode")) {
        const pugi::xml_node v = ChildElement(sub, env, "Value");
        const ResolvedName name = ResolveQName(v, ElementText(v));
        out.subcodes.push_back(ExpandedName(name.uri, name.local));
    }
    const pugi::xml_node reason = ChildElement(fault, env, "Reason");
    out.reason = ChildText(reason, env, "Text");
    // Some cameras say more in Detail than in Reason.
    if (out.reason.empty()) out.reason = ElementText(FirstChildElement(ChildElement(fault, env, "Detail")));
}

// SOAP 1.1: faultcode (a QName, unqualified children) and faultstring.
void ReadFault11(const pugi::xml_node& fault, SoapFault& out) {
    pugi::xml_node faultcode, faultstring;
    for (pugi::xml_node c = fault.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        if (LocalName(c) == "faultcode") faultcode = c;
        if (LocalName(c) == "faultstring") faultstring = c;
    }
    const ResolvedName name = ResolveQName(faultcode, ElementText(faultcode));
    if (name.uri == ns::kSoap11) {
        out.code = name.local == "Client" ? "Sender" : name.local == "Server" ? "Receiver" : name.local;
    } else {
        out.code = "Sender";
        out.subcodes.push_back(ExpandedName(name.uri, name.local));
    }
    out.reason = ElementText(faultstring);
}

}  // namespace

std::string ExpandedName(std::string_view uri, std::string_view local) {
    return "{" + std::string(uri) + "}" + std::string(local);
}

OnvifStatus FaultStatus(const SoapFault& fault) {
    const std::string ter = ExpandedName(ns::kError, "");
    const std::string wsse = ExpandedName(ns::kWsse, "");
    const std::string reason = Lower(fault.reason);
    // Told apart only where a camera's words allow it: most say no more than
    // "not authorized" for a missing user as for a wrong password.
    if (Mentions(reason, {"onvif is disabled", "onvif disabled", "onvif is not enabled", "onvif service is disabled"}))
        return OnvifStatus::OnvifDisabled;
    for (const std::string& s : fault.subcodes) {
        const bool isTer = s.rfind(ter, 0) == 0;
        const std::string local = s.substr(s.find('}') + 1);
        if ((isTer && local == "NotAuthorized") || s.rfind(wsse, 0) == 0 ||
            (isTer && local == "SenderNotAuthorized")) {
            if (Mentions(reason, {"no such user", "user not found", "unknown user", "user does not exist",
                                  "user not exist", "no onvif user"}))
                return OnvifStatus::NoOnvifUser;
            return OnvifStatus::NotAuthorized;
        }
        if (isTer && (local == "ActionNotSupported" || local == "NoSuchService" || local == "NotSupported" ||
                      local == "OperationNotSupported" || local == "InvalidOperation"))
            return OnvifStatus::NotSupported;
    }
    if (Mentions(reason, {"not authorized", "not authorised", "authentication failed", "unauthorized"}))
        return OnvifStatus::NotAuthorized;
    if (Mentions(reason, {"not supported", "not implemented"})) return OnvifStatus::NotSupported;
    return OnvifStatus::Fault;
}

OnvifResult ReadSoapReply(std::string_view text, SoapReply& reply, const Deadline& deadline) {
    std::string why;
    XmlLimits limits;
    limits.deadline = deadline;
    XmlRefusal refusal = XmlRefusal::None;
    if (!ParseBoundedXml(text, reply.document, why, limits, &refusal))
        return {refusal == XmlRefusal::OutOfTime ? OnvifStatus::TimedOut : OnvifStatus::BadReply, why};
    const pugi::xml_node envelope = reply.document.document_element();
    const std::string envNs = NamespaceOf(envelope);
    if (LocalName(envelope) != "Envelope" || (envNs != ns::kSoap12 && envNs != ns::kSoap11))
        return {OnvifStatus::BadReply, "the reply is not a SOAP envelope"};
    const pugi::xml_node body = ChildElement(envelope, envNs, "Body");
    if (!body) return {OnvifStatus::BadReply, "the SOAP envelope has no Body"};
    const pugi::xml_node first = FirstChildElement(body);
    if (first && IsElement(first, envNs, "Fault")) {
        reply.isFault = true;
        if (envNs == ns::kSoap12) ReadFault12(first, reply.fault);
        else ReadFault11(first, reply.fault);
        std::string detail = "the camera answered with a fault";
        if (!reply.fault.reason.empty()) detail += ": " + reply.fault.reason;
        for (const std::string& s : reply.fault.subcodes) detail += " [" + s.substr(s.find('}') + 1) + "]";
        return {FaultStatus(reply.fault), detail};
    }
    reply.body = first;
    return {};
}

}  // namespace orvanta::onvif
