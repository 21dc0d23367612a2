"""The camera's still picture: GetSnapshotUri (Media and Media2) and the
JPEG itself, served by HTTP GET behind the camera's Digest login (or Basic,
as some older firmware asks), with the ways cameras get it wrong:

  jpeg        a real baseline JPEG, a pattern of the camera's own colours
  not-jpeg    an HTML error page with 200 OK, as firmware without a sensor sends
  huge        a JPEG start followed by more bytes than any still has (9 MiB)
  other-host  the URI names --snapshot-host, not the camera (the picture is
              still served by the camera itself)

A camera without a snapshot at all is --no-call GetSnapshotUri. Log lines:
"snapshot PEER PATH HOW USER ok|refused".
"""
import base64
import hashlib
import struct

from . import auth, device
from .xmlout import TR2, TRT, TT

MODES = ("jpeg", "not-jpeg", "huge", "other-host")
HUGE_BYTES = 9 << 20


def add_options(p):
    p.add_argument("--snapshot", choices=MODES, default="jpeg", help="what the snapshot address serves (default jpeg)")
    p.add_argument("--snapshot-host", default="192.0.2.77", metavar="HOST",
                   help="the host the snapshot URI names with --snapshot other-host (default 192.0.2.77)")
    p.add_argument("--snapshot-login", choices=("digest", "basic"), default="digest",
                   help="how the snapshot address asks for a login (default digest)")


def register():
    """Offers GetSnapshotUri in both media services."""
    for ns in (TRT, TR2):
        if "GetSnapshotUri" not in device.OPERATIONS[ns]:
            device.OPERATIONS[ns] = device.OPERATIONS[ns] + ("GetSnapshotUri",)
    device.Camera.GetSnapshotUri = _get_snapshot_uri
    device.Camera.GetSnapshotUri2 = _get_snapshot_uri2


def _uri(cam, token):
    opts = cam.opts
    host = opts.snapshot_host if opts.snapshot == "other-host" else cam.address
    port = "" if opts.port == 80 else f":{opts.port}"
    return f"http://{host}{port}/snapshot/{token}.jpg"


def _get_snapshot_uri(cam, w, req):
    token = device._text(req, "ProfileToken")
    cam._profile_index(token)
    r = w.el(w.body, TRT, "GetSnapshotUriResponse")
    w.tree(w.el(r, TRT, "MediaUri"), TT, [
        ("Uri", _uri(cam, token)), ("InvalidAfterConnect", False), ("InvalidAfterReboot", False), ("Timeout", "PT0S")])


def _get_snapshot_uri2(cam, w, req):
    token = device._text(req, "ProfileToken")
    cam._profile_index(token)
    w.el(w.el(w.body, TR2, "GetSnapshotUriResponse"), TR2, "Uri", _uri(cam, token))


def serve(handler):
    """Answers a GET for a snapshot path; False for any other path."""
    if not handler.path.startswith("/snapshot/"):
        return False
    server, opts = handler.server, handler.server.opts
    cam = server.by_address(handler.connection.getsockname()[0])
    if cam is None or cam.rebooting:
        handler.close_connection = True
        return True
    peer = handler.client_address[0]
    basic = opts.snapshot_login == "basic"
    authz = handler.headers.get("Authorization")
    how = "basic" if basic else "digest"
    if not authz:
        opts.log(f"snapshot {peer} {handler.path} {how} - challenge")
        return _challenge(handler, basic)
    try:
        user = _basic_user(authz, cam.users()) if basic else \
            server.digest.check(authz, "GET", handler.path, cam.users(), opts.relax, lambda what: None)
    except auth.Refused as e:
        opts.log(f"snapshot {peer} {handler.path} {how} - refused: {e}")
        return _challenge(handler, basic, getattr(e, "stale", False))
    opts.log(f"snapshot {peer} {handler.path} {how} {user} ok")
    if opts.snapshot == "not-jpeg":
        handler._reply(200, b"<html><body>No video signal</body></html>\n", "text/html")
    elif opts.snapshot == "huge":
        handler._reply(200, b"\xff\xd8\xff\xe0" + b"\x00" * HUGE_BYTES, "image/jpeg")
    else:
        handler._reply(200, picture(cam), "image/jpeg")
    return True


def _challenge(handler, basic, stale=False):
    value = 'Basic realm="ONVIF camera"' if basic else handler.server.digest.challenge(stale)
    handler._reply(401, b"401 Unauthorized\n", "text/plain", {"WWW-Authenticate": value})
    return True


def _basic_user(header, users):
    if not header.lower().startswith("basic "):
        raise auth.Refused("Authorization is not Basic")
    try:
        name, _, password = base64.b64decode(header[6:].strip(), validate=True).decode().partition(":")
    except (ValueError, UnicodeDecodeError):
        raise auth.Refused("Basic credentials are not base64")
    user = users.get(name)
    if user is None or user["password"] != password:
        raise auth.Refused(f"wrong password for '{name}'")
    return name


# -- a small baseline JPEG encoder -------------------------------------------
# Every 8x8 block is one flat colour, so only DC coefficients are coded and
# an AC table holding just end-of-block suffices: enough for a picture that
# any decoder reads, and that tells one emulated camera from another.

_DC_BITS = [0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]   # the standard luminance DC table
_DC_VALS = list(range(12))
_AC_BITS = [1] + [0] * 15                                      # one code: end of block
_AC_VALS = [0x00]


def _codes(bits, vals):
    out, code, k = {}, 0, 0
    for length in range(1, 17):
        for _ in range(bits[length - 1]):
            out[vals[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return out


_DC_CODES = _codes(_DC_BITS, _DC_VALS)
_EOB = _codes(_AC_BITS, _AC_VALS)[0]


class _Bits:
    def __init__(self):
        self.out, self.acc, self.n = bytearray(), 0, 0

    def put(self, value, length):
        for i in range(length - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0)   # a coded 0xFF is stuffed
                self.acc, self.n = 0, 0

    def done(self):
        if self.n:
            self.put((1 << (8 - self.n)) - 1, 8 - self.n)
        return bytes(self.out)


def _segment(marker, payload):
    return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload


def encode(width, height, colour_at):
    """A baseline JPEG of width x height (multiples of 8); colour_at(bx, by)
    gives each 8x8 block's (Y, Cb, Cr)."""
    q = bytes([0]) + bytes([8] * 64)   # DC quantised by 8: a flat block's DC is its level minus 128
    dht = b""
    for cls_id, bits, vals in ((0x00, _DC_BITS, _DC_VALS), (0x10, _AC_BITS, _AC_VALS)):
        dht += bytes([cls_id]) + bytes(bits) + bytes(vals)
    sof = struct.pack(">BHHB", 8, height, width, 3) + b"".join(bytes([c, 0x11, 0]) for c in (1, 2, 3))
    sos = bytes([3]) + b"".join(bytes([c, 0x00]) for c in (1, 2, 3)) + bytes([0, 63, 0])
    bits, prev = _Bits(), [0, 0, 0]
    for by in range(height // 8):
        for bx in range(width // 8):
            for c, level in enumerate(colour_at(bx, by)):
                dc = max(-127, min(127, int(level) - 128))
                diff, prev[c] = dc - prev[c], dc
                size = abs(diff).bit_length()
                code, length = _DC_CODES[size]
                bits.put(code, length)
                if size:
                    bits.put(diff if diff > 0 else diff + (1 << size) - 1, size)
                bits.put(*_EOB)
    app0 = b"JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"
    return (b"\xff\xd8" + _segment(0xE0, app0) + _segment(0xDB, q) + _segment(0xC4, dht) + _segment(0xC0, sof) +
            _segment(0xDA, sos) + bits.done() + b"\xff\xd9")


def _ycc(r, g, b):
    y = 0.299 * r + 0.587 * g + 0.114 * b
    return y, 128 - 0.168736 * r - 0.331264 * g + 0.5 * b, 128 + 0.5 * r - 0.418688 * g - 0.081312 * b


def picture(cam):
    """640x360: sky, ground and a band of the camera's own colour (from its
    reference), so two cameras' pictures differ at a glance."""
    cached = getattr(cam, "_picture", None)
    if cached:
        return cached
    h = hashlib.sha256(cam.uuid.encode()).digest()
    own = _ycc(h[0], h[1], h[2])
    sky, ground = _ycc(110, 160, 220), _ycc(90, 120, 70)

    def colour_at(bx, by):
        if 18 <= by < 27:
            return own
        return sky if by < 18 else ground

    cam._picture = encode(640, 360, colour_at)
    return cam._picture
