"""Firmware upgrades, restarts to factory settings: what a camera does with
an image. StartFirmwareUpgrade hands out an upload URI on the camera's own
HTTP port; an image POSTed there (or sent inside UpgradeSystemFirmware as an
MTOM/XOP attachment) makes the camera go silent for --firmware-down-seconds
and come back running --firmware-next. The faults a site meets:
--firmware-fault cut closes the connection half-way through the image (the
camera keeps its old version); never-back takes the image and never answers
again. Uploaded bytes are counted, never kept (images may be large)."""
import re
import secrets
import threading

from .xmlout import TDS

UPLOAD_PATH = "/firmware/upload/"
MAX_IMAGE = 300 << 20
SLICE = 64 << 10

# The attachments of the MTOM request being handled on this thread, by
# Content-ID: the handler reads them before the SOAP call is dispatched.
current = threading.local()


def add_options(a):
    a("--firmware-next", metavar="V", help="the version an upgrade brings (default: the last number of --firmware "
      "plus one)")
    a("--firmware-down-seconds", type=float, default=3.0, help="how long installing an image keeps the camera "
      "silent, and the ExpectedDownTime it announces (default 3)")
    a("--firmware-fault", choices=("cut", "never-back"), help="cut: close the connection half-way through the "
      "image; never-back: take the image and never answer again")


def next_version(version):
    m = re.match(r"^(.*?)(\d+)(\D*)$", version or "")
    return f"{m.group(1)}{int(m.group(2)) + 1}{m.group(3)}" if m else (version or "") + ".1"


def _duration(seconds):
    return f"PT{seconds:g}S"


def start(cam, w, req):
    token = secrets.token_hex(8)
    with cam.lock:
        cam.s.setdefault("upload_tokens", []).append(token)
    r = w.el(w.body, TDS, "StartFirmwareUpgradeResponse")
    w.el(r, TDS, "UploadUri", cam.device_url().replace("/onvif/device_service", UPLOAD_PATH + token))
    w.el(r, TDS, "UploadDelay", "PT0S")
    w.el(r, TDS, "ExpectedDownTime", _duration(cam.opts.firmware_down_seconds))


def upgrade_system(cam, w, req, fault_cls):
    inc = next((e for e in req.iter() if isinstance(e.tag, str) and e.tag.endswith("}Include")), None)
    cid = (inc.get("href") or "")[4:] if inc is not None else ""
    size = getattr(current, "attachments", {}).get(cid)
    if size is None:
        raise fault_cls("Sender", "InvalidArgVal", f"no attachment with Content-ID {cid!r}")
    cam.opts.log(f"firmware-received {cam.uuid} {size} bytes by UpgradeSystemFirmware")
    w.el(w.el(w.body, TDS, "UpgradeSystemFirmwareResponse"), TDS, "Message",
         f"Upgrading; back in {cam.opts.firmware_down_seconds:g} seconds")
    return lambda: install(cam)


def factory_default(cam, w, req):
    """Soft: the settings a user changes go back to the maker's, the network
    stays as it is; then the camera restarts."""
    kind = next((e.text for e in req if isinstance(e.tag, str) and e.tag.endswith("}FactoryDefault")), "")
    if kind != "Soft":
        raise ValueError("only a soft factory default is emulated")
    with cam.lock:
        n = "" if cam.opts.count == 1 else f"-{cam.index + 1}"
        cam.s.update(hostname=cam.opts.hostname + n, ntp=[], ntp_from_dhcp=False, tz="UTC0", time_type="Manual",
                     factory_defaults=cam.s.get("factory_defaults", 0) + 1)
    w.el(w.body, TDS, "SetSystemFactoryDefaultResponse")
    return cam.reboot


def install(cam):
    """Silent while flashing, then up with the new version (or, for a
    camera that never comes back, silent for good)."""
    opts = cam.opts
    with cam.lock:
        cam.rebooting = True
        cam.s["reboots"] += 1
    opts.log(f"installing {cam.uuid}")
    if opts.firmware_fault == "never-back":
        opts.log(f"never-back {cam.uuid}")
        return
    threading.Event().wait(opts.firmware_down_seconds)
    with cam.lock:
        cam.s["firmware"] = opts.firmware_next or next_version(cam.s["firmware"])
        cam.rebooting = False
    opts.log(f"firmware {cam.uuid} now {cam.s['firmware']}")
    opts.changed(cam, hello=True)


def _drain(handler, n, cut_at):
    """Reads n bytes off the connection a slice at a time; the count read
    (short when the client stopped sending, or at cut_at)."""
    got = 0
    while got < n:
        want = min(SLICE, n - got)
        if cut_at is not None:
            want = min(want, cut_at - got)
            if want <= 0:
                break
        chunk = handler.rfile.read(want)
        if not chunk:
            break
        got += len(chunk)
    return got


def _cut(handler):
    # An abortive close, as a camera whose upload process died: the client
    # sees its sends fail, not a reply.
    import socket
    import struct
    handler.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    handler.close_connection = True


def upload(handler, cam):
    """A POST to an upload URI: the image is read and counted; the camera
    installs it once it has it all."""
    opts = cam.opts
    token = handler.path[len(UPLOAD_PATH):]
    peer = handler.client_address[0]
    with cam.lock:
        known = token in cam.s.get("upload_tokens", [])
        if known:
            cam.s["upload_tokens"].remove(token)
    try:
        n = int(handler.headers.get("Content-Length", ""))
    except ValueError:
        n = -1
    if not known:
        opts.log(f"firmware-refused {peer}: unknown upload token")
        return handler._reply(404, b"no such upload\n", "text/plain")
    if not 0 < n <= MAX_IMAGE:
        opts.log(f"firmware-refused {peer}: Content-Length {n}")
        return handler._reply(413, b"image too large or without a length\n", "text/plain")
    cut_at = n // 2 if opts.firmware_fault == "cut" else None
    got = _drain(handler, n, cut_at)
    with cam.lock:
        cam.s["firmware_bytes"] = cam.s.get("firmware_bytes", 0) + got
    opts.write_state()
    if got < n:
        opts.log(f"firmware-cut {peer} {got} of {n} bytes")
        return _cut(handler)
    opts.log(f"firmware-received {cam.uuid} {got} bytes")
    handler._reply(200, b"image received; installing\n", "text/plain")
    opts.later(0.3, lambda: install(cam))


def read_mtom(handler, cam):
    """The root part (the SOAP envelope) of a multipart/related request;
    the attachments' sizes by Content-ID go to `current`. None when the
    request was cut (the connection is then closed)."""
    opts = cam.opts
    ctype = handler.headers.get("Content-Type", "")
    m = re.search(r'boundary="?([^";]+)"?', ctype)
    try:
        n = int(handler.headers.get("Content-Length", ""))
    except ValueError:
        n = -1
    if not m or not 0 < n <= MAX_IMAGE:
        handler._reply(400, b"multipart/related needs a boundary and a length\n", "text/plain")
        return None
    if opts.firmware_fault == "cut":
        got = _drain(handler, n, n // 2)
        opts.log(f"firmware-cut {handler.client_address[0]} {got} of {n} bytes")
        _cut(handler)
        return None
    data = handler.rfile.read(n)
    boundary = b"--" + m.group(1).encode()
    root, sizes = None, {}
    for part in data.split(boundary)[1:]:
        if part.startswith(b"--"):
            break
        head, _, content = part.partition(b"\r\n\r\n")
        if content.endswith(b"\r\n"):
            content = content[:-2]
        cid = re.search(rb"Content-ID:\s*<([^>]*)>", head, re.I)
        cid = cid.group(1).decode() if cid else ""
        if root is None:
            root = content
        else:
            sizes[cid] = len(content)
    with cam.lock:
        cam.s["firmware_bytes"] = cam.s.get("firmware_bytes", 0) + sum(sizes.values())
    current.attachments = sizes
    return root
