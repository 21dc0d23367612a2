#include "core/onvif/soap/OnvifXml.h"

#include <algorithm>

namespace orvanta::onvif {

namespace {

std::string_view Trim(std::string_view s) {
    const char* blanks = " \t\r\n";
    const std::size_t first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// The URI bound to `prefix` ("" for the default namespace) in the scope of
// `element`, walking outwards through the declarations.
std::string LookUpPrefix(pugi::xml_node element, std::string_view prefix) {
    const std::string attribute = prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
    for (; element && element.type() == pugi::node_element; element = element.parent()) {
        if (const pugi::xml_attribute a = element.attribute(attribute.c_str())) return a.value();
    }
    // The xml prefix is bound by definition.
    if (prefix == "xml") return "http://www.w3.org/XML/1998/namespace";
    return {};
}

// Depth, elements and attributes counted in one walk without recursion: a
// hostile reply must not exhaust the stack of the reader either. False
// with `why` at the first limit passed (or when the deadline passes).
bool WithinLimits(const pugi::xml_node& root, const XmlLimits& limits, std::string& why, XmlRefusal& refusal) {
    std::size_t elements = 0, attributes = 0;
    int depth = 0;
    pugi::xml_node n = root.first_child();
    while (n) {
        if (n.type() == pugi::node_element) {
            if (++elements > limits.maxElements) {
                why = "the reply holds more than " + std::to_string(limits.maxElements) + " elements";
                return false;
            }
            std::size_t own = 0;
            for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) ++own;
            attributes += own;
            if (own > limits.maxAttributesPerElement) {
                why = "an element of the reply carries more than " + std::to_string(limits.maxAttributesPerElement) +
                      " attributes";
                return false;
            }
            if (attributes > limits.maxAttributes) {
                why = "the reply carries more than " + std::to_string(limits.maxAttributes) + " attributes";
                return false;
            }
            if ((elements & 1023) == 0 && limits.deadline.Passed()) {
                why = "the call's time ran out while its reply was read";
                refusal = XmlRefusal::OutOfTime;
                return false;
            }
        }
        if (n.first_child()) {
            n = n.first_child();
            if (++depth >= limits.maxDepth) {
                why = "the reply nests deeper than " + std::to_string(limits.maxDepth) + " elements";
                return false;
            }
            continue;
        }
        while (n && !n.next_sibling()) {
            n = n.parent();
            --depth;
            if (n == root) return true;
        }
        if (n) n = n.next_sibling();
    }
    return true;
}

}  // namespace

bool ParseBoundedXml(std::string_view text, pugi::xml_document& doc, std::string& why, const XmlLimits& limits,
                     XmlRefusal* refusal) {
    XmlRefusal kind = XmlRefusal::Unreadable;
    const auto refuse = [&](std::string text) {
        why = std::move(text);
        if (refusal) *refusal = kind;
        return false;
    };
    if (refusal) *refusal = XmlRefusal::None;
    if (text.size() > limits.maxBytes) return refuse("the reply is larger than " + std::to_string(limits.maxBytes) + " bytes");
    if (limits.deadline.Passed()) {
        kind = XmlRefusal::OutOfTime;
        return refuse("the call's time ran out before its reply was read");
    }
    // A DOCTYPE is kept as a node so that it can be refused: an entity
    // declaration has no place in a SOAP message.
    const pugi::xml_parse_result r =
        doc.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_doctype, pugi::encoding_utf8);
    if (!r)
        return refuse(std::string("the reply is not well-formed XML (") + r.description() + " at byte " +
                      std::to_string(r.offset) + ")");
    for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_doctype) return refuse("the reply carries a document type declaration");
    std::string over;
    if (!WithinLimits(doc, limits, over, kind)) {
        doc.reset();
        return refuse(over);
    }
    if (!doc.document_element()) return refuse("the reply holds no element");
    return true;
}

std::string NamespaceOf(const pugi::xml_node& element) {
    const std::string_view name = element.name();
    const std::size_t colon = name.find(':');
    return LookUpPrefix(element, colon == std::string_view::npos ? std::string_view() : name.substr(0, colon));
}

std::string_view LocalName(const pugi::xml_node& element) {
    const std::string_view name = element.name();
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool IsElement(const pugi::xml_node& node, std::string_view uri, std::string_view local) {
    return node.type() == pugi::node_element && LocalName(node) == local && NamespaceOf(node) == uri;
}

pugi::xml_node ChildElement(const pugi::xml_node& parent, std::string_view uri, std::string_view local) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (IsElement(c, uri, local)) return c;
    return {};
}

std::vector<pugi::xml_node> ChildElements(const pugi::xml_node& parent, std::string_view uri, std::string_view local) {
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (IsElement(c, uri, local)) out.push_back(c);
    return out;
}

pugi::xml_node FindElement(const pugi::xml_node& root, std::string_view uri, std::string_view local) {
    return root.find_node([&](const pugi::xml_node& n) { return IsElement(n, uri, local); });
}

pugi::xml_node FirstChildElement(const pugi::xml_node& parent) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element) return c;
    return {};
}

std::string ElementText(const pugi::xml_node& element) {
    // Text split by comments or CDATA sections is one value to the reader.
    std::string text;
    for (pugi::xml_node c = element.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) text += c.value();
    return std::string(Trim(text));
}

std::string ChildText(const pugi::xml_node& parent, std::string_view uri, std::string_view local) {
    return ElementText(ChildElement(parent, uri, local));
}

ResolvedName ResolveQName(const pugi::xml_node& context, std::string_view qname) {
    qname = Trim(qname);
    const std::size_t colon = qname.find(':');
    if (colon == std::string_view::npos) return {LookUpPrefix(context, {}), std::string(qname)};
    return {LookUpPrefix(context, qname.substr(0, colon)), std::string(qname.substr(colon + 1))};
}

}  // namespace orvanta::onvif
