"""The SOAP 1.2 over HTTP/1.1 side: every request checked against the ONVIF
schemas, the caller logged in as the camera wants, the call answered from
the camera's state."""
import http.server
import socketserver
import time

from lxml import etree

from . import auth, device, firmware, snapshot, xmlout
from .xmlout import SOAP, WSSE

MAX_BODY = 1 << 20
# What a device answers without a login (the "PRE_AUTH" access class of the
# ONVIF core standard): enough to learn its clock and where its services are.
PRE_AUTH = frozenset(("GetWsdlUrl", "GetServices", "GetServiceCapabilities", "GetCapabilities", "GetHostname",
                      "GetSystemDateAndTime", "GetEndpointReference"))


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 256

    def __init__(self, opts, cameras, port):
        self.opts = opts
        self.by_address = lambda a: next((c for c in cameras if c.address == a), None)
        self.replay = auth.ReplayCache()
        self.digest = auth.HttpDigest({"md5": "MD5", "sha256": "SHA-256"}[opts.digest_only or "md5"])
        super().__init__(("", port), Handler)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    # Camera servers send a reply's header and body together (gSOAP buffers
    # the whole message); this one writes them apart, so Nagle's rule must
    # not hold the body back for the client's delayed ACK on a kept
    # connection.
    disable_nagle_algorithm = True
    server_version = "onvifsim"
    sys_version = ""

    def log_message(self, fmt, *args):
        pass

    def do_GET(self):
        # The one thing a camera serves by GET here is its picture.
        if not snapshot.serve(self):
            self._reply(405, b"POST a SOAP request\n", "text/plain")

    def do_POST(self):
        opts = self.server.opts
        cam = self.server.by_address(self.connection.getsockname()[0])
        if cam is not None and not cam.rebooting and self.path.startswith(firmware.UPLOAD_PATH):
            return firmware.upload(self, cam)
        firmware.current.attachments = {}
        if cam is not None and not cam.rebooting and \
                self.headers.get("Content-Type", "").lower().startswith("multipart/related"):
            body = firmware.read_mtom(self, cam)
        else:
            body = self._read_body()
        if body is None:
            return
        if cam is None or cam.rebooting:
            # An address the camera left, or a camera that is rebooting: no answer.
            self.close_connection = True
            return
        if opts.reply_delay_ms:
            time.sleep(opts.reply_delay_ms / 1000.0)
        peer = self.client_address[0]
        variant = opts.ns_variant
        if not body.strip() and not self.headers.get("Authorization"):
            # What an HTTP Digest client sends first, to be challenged.
            opts.log(f"challenge {peer} (empty request)")
            return self._challenge()
        try:
            env = etree.fromstring(body, etree.XMLParser(resolve_entities=False, no_network=True))
        except etree.XMLSyntaxError as e:
            opts.log(f"not-xml {peer}: {e}")
            return self._fault(xmlout.fault(variant, "Sender", "WellFormed", f"not well-formed XML: {e}"), 400)
        payload = next(iter(env.find(f"{{{SOAP}}}Body") if env.find(f"{{{SOAP}}}Body") is not None else []), None)
        if etree.QName(env).namespace != SOAP or payload is None or not isinstance(payload.tag, str):
            opts.log(f"not-soap12 {peer}")
            return self._fault(xmlout.fault(variant, "Sender", "WellFormed", "not a SOAP 1.2 request with a Body"), 400)
        q = etree.QName(payload)
        op = q.localname
        offered = device.OPERATIONS.get(q.namespace, ()) if not opts.media2_only or q.namespace != device.TRT else ()
        if op in opts.no_call or op not in offered:
            opts.log(f"not-supported {peer} {{{q.namespace}}}{op}")
            opts.dump(cam, op, body, "req")
            return self._fault(xmlout.fault(variant, "Receiver", "ActionNotSupported", f"{op} is not supported"), 500)
        why = opts.validator.check(body) if opts.validator else None
        if why and "schema" in opts.relax:
            # Let through, but said, so that the lab can tell what a client needed relaxed.
            opts.log(f"relaxed schema {peer} {op}: {why}")
        elif why:
            opts.log(f"schema-invalid {peer} {op}: {why}")
            opts.dump(cam, op, body, "invalid")
            return self._fault(xmlout.fault(variant, "Sender", "InvalidArgVal", f"request does not match the ONVIF schema: {why}"), 400)
        opts.dump(cam, op, body, "req")
        # Who is asking.
        anonymous = op in PRE_AUTH and not opts.no_anonymous_time
        user, how = None, "anonymous"
        authz = self.headers.get("Authorization")
        security = env.find(f"{{{SOAP}}}Header/{{{WSSE}}}Security")
        relaxed = lambda what: opts.log(f"relaxed {what} {peer} {op}")
        if opts.accept_any_login and (authz or security is not None):
            how = "digest" if authz else "wsse"
            user = opts.user
            opts.log(f"signed {peer} {op} {how}")
            authz = security = None
        try:
            if user is not None:
                pass
            elif authz:
                how = "digest"
                user = self.server.digest.check(authz, "POST", self.path, cam.users(), opts.relax, relaxed)
            elif security is not None and not opts.digest_only:
                how = "wsse"
                user = auth.username_token(security, cam.users(), cam.now(), self.server.replay, opts.relax, relaxed)
            elif not anonymous:
                opts.log(f"challenge {peer} {op}")
                return self._challenge()
        except auth.Refused as e:
            opts.log(f"auth-refused {peer} {op} {how}: {e}")
            if how == "digest":
                return self._challenge(getattr(e, "stale", False))
            return self._fault(xmlout.fault(variant, "Sender", "NotAuthorized", f"Sender not authorized: {e}"), 400)
        if user is not None and not device.allowed(cam.users()[user]["level"], device.level_needed(op)):
            opts.log(f"auth-refused {peer} {op} {how}: level {cam.users()[user]['level']}")
            return self._fault(xmlout.fault(variant, "Sender", "NotAuthorized", "Sender not authorized for this call"), 400)
        if op in opts.refuse_call:
            opts.log(f"auth-refused {peer} {op} {how}: refused to every user")
            return self._fault(xmlout.fault(variant, "Sender", "NotAuthorized", "Sender not authorized for this call"), 400)
        w = xmlout.Writer(variant)
        try:
            # Media2 names its calls as Media does: told apart by namespace.
            after = getattr(cam, op + "2" if q.namespace == device.TR2 else op)(w, payload)
        except device.Fault as f:
            opts.log(f"fault {peer} {op}: {f.subcode} {f.reason}")
            return self._fault(xmlout.fault(variant, f.code, f.subcode, f.reason), 400 if f.code == "Sender" else 500)
        reply = w.bytes()
        if opts.reply_validator:
            why = opts.reply_validator.check(reply)
            if why:
                opts.log(f"reply-invalid {op}: {why}")
        opts.log(f"request {peer} {op} {how}{' ' + user if user else ''} ok")
        self._reply(200, reply)
        if op.startswith(("Set", "Create", "Delete")) or op in ("SystemReboot", "StartFirmwareUpgrade",
                                                                "UpgradeSystemFirmware"):
            opts.changed(cam, hello=False)
        if after:
            # After the reply has gone, as a camera answers first and then
            # takes its new address or reboots.
            opts.later(0.3, after)

    def _read_body(self):
        if self.headers.get("Transfer-Encoding", "").lower() == "chunked":
            out = b""
            while True:
                line = self.rfile.readline(64)
                try:
                    n = int(line.split(b";")[0], 16)
                except ValueError:
                    self._reply(400, b"bad chunk\n", "text/plain")
                    return None
                if n == 0:
                    self.rfile.readline(64)
                    return out
                if len(out) + n > MAX_BODY:
                    self._reply(413, b"too large\n", "text/plain")
                    return None
                out += self.rfile.read(n)
                self.rfile.readline(64)
        try:
            n = int(self.headers.get("Content-Length", ""))
        except ValueError:
            self._reply(411, b"Content-Length, please\n", "text/plain")
            return None
        if not 0 <= n <= MAX_BODY:
            self._reply(413, b"too large\n", "text/plain")
            return None
        return self.rfile.read(n)

    def _challenge(self, stale=False):
        self._reply(401, b"401 Unauthorized\n", "text/plain", {"WWW-Authenticate": self.server.digest.challenge(stale)})

    def _fault(self, data, status):
        self._reply(status, data)

    def _reply(self, status, data, ctype="application/soap+xml; charset=utf-8", extra=None):
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        for k, v in (extra or {}).items():
            self.send_header(k, v)
        if self.server.opts.chunked and data:
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            # Small, unevenly cut chunks: a reader that assumes one chunk
            # (or a chunk per element) fails here.
            step, i = 97, 0
            while i < len(data):
                part = data[i:i + step]
                self.wfile.write(b"%x\r\n%s\r\n" % (len(part), part))
                i += step
                step = 97 if step != 97 else 1500
            self.wfile.write(b"0\r\n\r\n")
        else:
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data)
