"""Replies as cameras write them: the same document under several namespace
spellings, so that a client which matches names by prefix fails here rather
than on a site."""
from lxml import etree

SOAP = "http://www.w3.org/2003/05/soap-envelope"
TDS = "http://www.onvif.org/ver10/device/wsdl"
TRT = "http://www.onvif.org/ver10/media/wsdl"
TR2 = "http://www.onvif.org/ver20/media/wsdl"
TT = "http://www.onvif.org/ver10/schema"
TER = "http://www.onvif.org/ver10/error"
WSA = "http://schemas.xmlsoap.org/ws/2004/08/addressing"
WSD = "http://schemas.xmlsoap.org/ws/2005/04/discovery"
DN = "http://www.onvif.org/ver10/network/wsdl"
WSSE = "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-secext-1.0.xsd"
WSU = "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-utility-1.0.xsd"
XML = "http://www.w3.org/XML/1998/namespace"

VARIANTS = ("env", "SOAP-ENV", "s", "default", "redeclare")

# The conventional prefixes; the envelope's prefix is the variant's name.
_PREFIXES = {SOAP: "env", TDS: "tds", TRT: "trt", TR2: "tr2", TT: "tt", TER: "ter", WSA: "wsa", WSD: "wsd", DN: "dn"}


class Writer:
    """Builds one envelope. Names are given as (namespace, local name); the
    variant alone decides which prefixes, if any, appear in the text."""

    def __init__(self, variant="env"):
        if variant not in VARIANTS:
            raise ValueError(f"unknown namespace variant {variant!r}")
        self.variant = variant
        if variant == "default":
            nsmap = {None: SOAP}
        elif variant == "redeclare":
            nsmap = {"n": SOAP}
        else:
            # Every prefix declared once at the top, as most firmware does.
            nsmap = {variant: SOAP}
            nsmap.update({p: ns for ns, p in _PREFIXES.items() if ns != SOAP})
        self.root = etree.Element(f"{{{SOAP}}}Envelope", nsmap=nsmap)
        self.header = None
        self.body = etree.SubElement(self.root, f"{{{SOAP}}}Body")

    def add_header(self):
        if self.header is None:
            self.header = etree.Element(f"{{{SOAP}}}Header")
            self.root.insert(0, self.header)
        return self.header

    def el(self, parent, ns, local, text=None, attrs=None, qname_prefixes=None):
        """A child element. qname_prefixes: namespaces whose conventional
        prefix the element's text uses (a QName in text needs its prefix in
        scope whatever the variant)."""
        nsmap = {}
        parent_ns = etree.QName(parent).namespace
        if self.variant == "default" and ns != parent_ns:
            nsmap[None] = ns
        elif self.variant == "redeclare" and ns != parent_ns:
            # One prefix bound to a different namespace at each level where
            # the namespace changes.
            nsmap["n"] = ns
        for q in qname_prefixes or ():
            nsmap[_PREFIXES[q]] = q
        e = etree.SubElement(parent, f"{{{ns}}}{local}", nsmap=nsmap or None)
        if text is not None:
            e.text = str(text)
        for k, v in (attrs or {}).items():
            e.set(k, str(v))
        return e

    def tree(self, parent, ns, spec):
        """Nested (local, value) pairs under parent, all in namespace ns:
        value a string/number/bool (text), a list of pairs (children), or None
        (left out)."""
        for local, value in spec:
            if value is None:
                continue
            if isinstance(value, list):
                self.tree(self.el(parent, ns, local), ns, value)
            else:
                self.el(parent, ns, local, xs(value))
        return parent

    def bytes(self):
        return etree.tostring(self.root, xml_declaration=True, encoding="UTF-8")


def xs(value):
    """A Python value as XML Schema text."""
    if isinstance(value, bool):
        return "true" if value else "false"
    return str(value)


def fault(variant, code, subcode, reason, detail=None):
    """A SOAP 1.2 fault: code 'Sender' or 'Receiver', subcode a local name in
    the ONVIF error namespace (or None)."""
    w = Writer(variant)
    f = w.el(w.body, SOAP, "Fault")
    c = w.el(f, SOAP, "Code")
    w.el(c, SOAP, "Value", f"env:{code}", qname_prefixes=[SOAP])
    if subcode:
        s = w.el(c, SOAP, "Subcode")
        w.el(s, SOAP, "Value", f"ter:{subcode}", qname_prefixes=[TER])
    r = w.el(f, SOAP, "Reason")
    w.el(r, SOAP, "Text", reason, attrs={f"{{{XML}}}lang": "en"})
    if detail:
        d = w.el(f, SOAP, "Detail")
        w.el(d, SOAP, "Text", detail)
    return w.bytes()


