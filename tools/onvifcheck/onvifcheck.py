#!/usr/bin/python3
"""onvifcheck: checks ONVIF SOAP messages against the ONVIF schemas kept in
third_party/onvif-schemas, without the network.

usage: onvifcheck.py FILE...
    Each FILE holds one SOAP 1.2 envelope. Prints "FILE: valid" or
    "FILE: <why not>" a line; exits 0 when all are valid, 1 when one is not,
    2 when the schemas or a file cannot be read.

From Python:
    SchemaCheck().check(envelope_bytes)  ->  None when valid, else why not

The element inside the Body is checked against the schema of its service,
chosen by its namespace: device management (ver10/device), media
(ver10/media) and media2 (ver20/media). An element of any other namespace
passes unchecked: whoever receives it answers that it does not know the
call.
"""
import os
import sys
import threading

from lxml import etree

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_ROOT = os.path.normpath(os.path.join(HERE, "..", "..", "third_party", "onvif-schemas"))

SOAP12 = "http://www.w3.org/2003/05/soap-envelope"
WSDL = "http://schemas.xmlsoap.org/wsdl/"
XS = "http://www.w3.org/2001/XMLSchema"

# Each service's WSDL, where the ONVIF repository keeps it: the WSDLs import
# ver10/schema/onvif.xsd by that relative path, so the same layout needs no
# mapping for them.
SERVICES = {
    "http://www.onvif.org/ver10/device/wsdl": "ver10/device/wsdl/devicemgmt.wsdl",
    "http://www.onvif.org/ver10/media/wsdl": "ver10/media/wsdl/media.wsdl",
    "http://www.onvif.org/ver20/media/wsdl": "ver20/media/wsdl/media.wsdl",
}

# onvif.xsd imports the W3C and OASIS schemas by their published URLs; these
# are the local copies (the OASIS ones import each other by relative paths
# inside imports/). None: the SOAP envelope, below.
BY_URL = {
    "https://www.w3.org/2005/05/xmlmime": "imports/xmlmime",
    "https://www.w3.org/2004/08/xop/include": "imports/include",
    "http://docs.oasis-open.org/wsn/b-2.xsd": "imports/b-2.xsd",
    "https://www.w3.org/2003/05/soap-envelope": None,
}

# The SOAP 1.2 envelope schema is published only at its namespace URL, not
# as a file with a licence to copy. onvif.xsd needs only its names (it
# refers to soapenv:Envelope and soapenv:Fault in an event type), so any
# content stands in: the Body's payload, not the envelope, is what is checked.
SOAP_ENVELOPE_STANDIN = f"""<xs:schema xmlns:xs="{XS}" xmlns:env="{SOAP12}" targetNamespace="{SOAP12}"
    elementFormDefault="qualified">
  <xs:complexType name="Anything" mixed="true">
    <xs:sequence><xs:any minOccurs="0" maxOccurs="unbounded" processContents="lax"/></xs:sequence>
    <xs:anyAttribute processContents="lax"/>
  </xs:complexType>
  <xs:complexType name="Envelope" mixed="true"><xs:complexContent><xs:extension base="env:Anything"/></xs:complexContent></xs:complexType>
  <xs:complexType name="Fault" mixed="true"><xs:complexContent><xs:extension base="env:Anything"/></xs:complexContent></xs:complexType>
  <xs:element name="Envelope" type="env:Anything"/>
  <xs:element name="Header" type="env:Anything"/>
  <xs:element name="Body" type="env:Anything"/>
  <xs:element name="Fault" type="env:Anything"/>
</xs:schema>
""".encode()

MAX_REASON = 600


class SchemaError(Exception):
    """The schemas themselves could not be read or compiled."""


def _deterministic(text):
    # libxml2 requires content models it can match without looking ahead. A
    # wildcard for the schema's own namespace after optional elements of that
    # namespace is ambiguous to it, and onvif.xsd has such extension points.
    # Reading them as "another namespace" in memory changes nothing for the
    # messages a client sends, which never use the extension points; the
    # files stay as published.
    return text.replace(b'namespace="##targetNamespace"', b'namespace="##other"')


class _LocalOnly(etree.Resolver):
    """Answers every schema a schema imports from the folder, never from the network."""

    def __init__(self, root):
        super().__init__()
        self.root = root

    def resolve(self, url, pubid, context):
        if url in BY_URL:
            rel = BY_URL[url]
            if rel is None:
                return self.resolve_string(SOAP_ENVELOPE_STANDIN, context, base_url=url)
            path = os.path.join(self.root, rel)
        else:
            path = url[len("file://"):] if url.startswith("file://") else url
            if "://" in path:
                raise SchemaError(f"a schema imports {url}, which is not kept in {self.root}")
        path = os.path.realpath(path)
        if not path.startswith(os.path.realpath(self.root) + os.sep):
            raise SchemaError(f"a schema imports {path}, outside {self.root}")
        with open(path, "rb") as f:
            return self.resolve_string(_deterministic(f.read()), context, base_url=path)


class SchemaCheck:
    """Checks the payloads of SOAP 1.2 envelopes; raises SchemaError when
    the schemas cannot be compiled. Every service's schema is compiled at
    once (a tenth of a second), so a broken copy stops a program at its
    start rather than at its first request."""

    def __init__(self, root=DEFAULT_ROOT):
        self.root = os.path.abspath(root)
        self.schemas = {ns: self._compile(rel) for ns, rel in SERVICES.items()}
        # A compiled schema keeps the errors of its last run; the emulator
        # checks requests on several threads.
        self._lock = threading.Lock()

    def _parser(self):
        p = etree.XMLParser(resolve_entities=False, no_network=True)
        p.resolvers.add(_LocalOnly(self.root))
        return p

    def _compile(self, rel):
        """The schema inside the WSDL `rel`, with what it imports."""
        path = os.path.join(self.root, rel)
        try:
            wsdl = etree.parse(path, self._parser())
            types = wsdl.find(f"{{{WSDL}}}types/{{{XS}}}schema")
            if types is None:
                raise SchemaError(f"{rel} holds no schema")
            return etree.XMLSchema(etree.fromstring(etree.tostring(types), self._parser(), base_url=path))
        except (OSError, etree.XMLSyntaxError, etree.XMLSchemaParseError) as e:
            raise SchemaError(f"{rel}: {e}") from e

    def check(self, envelope):
        """None when the Body's payload is valid (or of a service we keep no schema for), else why not."""
        try:
            env = etree.fromstring(envelope, etree.XMLParser(resolve_entities=False, no_network=True))
        except etree.XMLSyntaxError as e:
            return f"not well-formed XML: {e}"
        if env.tag != f"{{{SOAP12}}}Envelope":
            return f"not a SOAP 1.2 envelope: {env.tag}"
        body = env.find(f"{{{SOAP12}}}Body")
        if body is None:
            return "no SOAP 1.2 Body"
        payload = [child for child in body if isinstance(child.tag, str)]
        if not payload:
            return "empty Body"
        if len(payload) > 1:
            return f"the Body holds {len(payload)} elements; a request is one"
        schema = self.schemas.get(etree.QName(payload[0]).namespace)
        if schema is None:
            return None
        with self._lock:
            if schema.validate(etree.ElementTree(payload[0])):
                return None
            return "; ".join(f"line {e.line}: {e.message}" for e in schema.error_log)[:MAX_REASON]


def main(argv):
    if not argv or argv[0] in ("-h", "--help"):
        print(__doc__.split("\n\n")[1])
        return 0 if argv else 2
    try:
        check = SchemaCheck()
    except SchemaError as e:
        print(f"onvifcheck: the schemas: {e}", file=sys.stderr)
        return 2
    invalid = 0
    for path in argv:
        try:
            with open(path, "rb") as f:
                why = check.check(f.read())
        except OSError as e:
            print(f"{path}: cannot read: {e.strerror}", file=sys.stderr)
            return 2
        print(f"{path}: {'valid' if why is None else why}")
        invalid += why is not None
    return 1 if invalid else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
