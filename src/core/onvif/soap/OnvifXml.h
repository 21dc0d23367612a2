// Reading XML that a camera sent: bounded in size and depth, and looked up
// by namespace URI and local name, never by prefix. A prefix is resolved
// through the xmlns declarations in scope (inner redeclarations and default
// namespaces included), as a namespace-aware parser would.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "core/base/Deadline.h"

namespace orvanta::onvif {

// No ONVIF reply we read comes near either; a larger or deeper one is
// refused rather than trusted (a camera's reply is untrusted input).
inline constexpr std::size_t kMaxXmlBytes = 1u << 20;
inline constexpr int kMaxXmlDepth = 48;
// Every name lookup walks the attributes of the element's ancestors for
// its namespace declaration, so attributes multiply the cost of reading:
// a megabyte of them under thousands of children took seconds. Real
// replies declare a few dozen namespaces on the envelope (generated SOAP
// stacks declare every one they know) and hold a few thousand elements
// for a recorder with many channels.
inline constexpr std::size_t kMaxXmlAttributesPerElement = 128;
inline constexpr std::size_t kMaxXmlAttributes = 4096;
inline constexpr std::size_t kMaxXmlElements = 32768;

struct XmlLimits {
    std::size_t maxBytes = kMaxXmlBytes;
    int maxDepth = kMaxXmlDepth;
    std::size_t maxAttributesPerElement = kMaxXmlAttributesPerElement;
    std::size_t maxAttributes = kMaxXmlAttributes;
    std::size_t maxElements = kMaxXmlElements;
    // The call's deadline: a parse that would end past it is not started,
    // and the checks of the tree stop when it passes.
    Deadline deadline = Deadline::Never();
};

enum class XmlRefusal { None, Unreadable, OutOfTime };

// Parses `text` into `doc`. False with `why` for text over the size limit,
// text that is not well-formed XML or carries a document type, a tree
// deeper than the depth limit, or with more elements or attributes than
// allowed; also when the deadline passed first (`refusal` then says
// OutOfTime, so the caller reports a timeout and not a bad reply).
bool ParseBoundedXml(std::string_view text, pugi::xml_document& doc, std::string& why, const XmlLimits& limits = {},
                     XmlRefusal* refusal = nullptr);

// The namespace URI of an element's name ("" when it has none).
std::string NamespaceOf(const pugi::xml_node& element);
std::string_view LocalName(const pugi::xml_node& element);
bool IsElement(const pugi::xml_node& node, std::string_view uri, std::string_view local);

// The first child element with that name (an empty node when none).
pugi::xml_node ChildElement(const pugi::xml_node& parent, std::string_view uri, std::string_view local);
std::vector<pugi::xml_node> ChildElements(const pugi::xml_node& parent, std::string_view uri, std::string_view local);
// The first element with that name below `root`, in document order.
pugi::xml_node FindElement(const pugi::xml_node& root, std::string_view uri, std::string_view local);
// The first child element whatever its name.
pugi::xml_node FirstChildElement(const pugi::xml_node& parent);

// An element's text with surrounding white space removed.
std::string ElementText(const pugi::xml_node& element);
// The text of the child `local` (same namespace URI as given), "" when absent.
std::string ChildText(const pugi::xml_node& parent, std::string_view uri, std::string_view local);

// A QName written as element text ("ter:NotAuthorized"), resolved in the
// scope of `context`: its namespace URI and local name.
struct ResolvedName {
    std::string uri;
    std::string local;
};
ResolvedName ResolveQName(const pugi::xml_node& context, std::string_view qname);

}  // namespace orvanta::onvif
