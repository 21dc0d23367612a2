"""The two logins ONVIF cameras take: WS-Security UsernameToken with a
password digest checked against the camera's own clock, and HTTP Digest
(RFC 7616) after a 401 challenge."""
import base64
import datetime
import hashlib
import os
import re
import threading
import time
import urllib.parse

from . import xmlout

WINDOW_S = 300          # how far Created may stand from the camera's clock
NONCE_KEEP_S = 2 * WINDOW_S + 60


class Refused(Exception):
    """The credentials were refused; the text says why (logged, and sent as
    the fault's reason)."""


def parse_utc(text):
    """ISO 8601 UTC ('Z' or +00:00, optional fraction) to seconds since the
    epoch, or None."""
    m = re.fullmatch(r"\s*(\d{4})-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d)(\.\d+)?(Z|[+-]\d\d:\d\d)\s*", text or "")
    if not m:
        return None
    y, mo, d, h, mi, s = (int(g) for g in m.groups()[:6])
    try:
        t = datetime.datetime(y, mo, d, h, mi, s, tzinfo=datetime.timezone.utc).timestamp()
    except ValueError:
        return None
    if m.group(7):
        t += float(m.group(7))
    z = m.group(8)
    if z != "Z":
        sign = 1 if z[0] == "+" else -1
        t -= sign * (int(z[1:3]) * 3600 + int(z[4:6]) * 60)
    return t


class ReplayCache:
    """Nonces seen within the window; a second use is a replay."""

    def __init__(self):
        self._seen = {}
        self._lock = threading.Lock()

    def first_use(self, key):
        now = time.monotonic()
        with self._lock:
            if len(self._seen) > 10000 or any(now - t > NONCE_KEEP_S for t in list(self._seen.values())[:16]):
                self._seen = {k: t for k, t in self._seen.items() if now - t <= NONCE_KEEP_S}
            if key in self._seen:
                return False
            self._seen[key] = now
            return True


def username_token(security, users, camera_now, replay, relax, relaxed):
    """Checks the UsernameToken in a wsse:Security header element. Returns
    the user's name; raises Refused."""
    token = security.find(f"{{{xmlout.WSSE}}}UsernameToken")
    if token is None:
        raise Refused("no UsernameToken in the Security header")
    name = _text(token, xmlout.WSSE, "Username")
    pw = token.find(f"{{{xmlout.WSSE}}}Password")
    nonce_b64 = _text(token, xmlout.WSSE, "Nonce")
    created = _text(token, xmlout.WSU, "Created")
    if pw is None:
        raise Refused("UsernameToken without a Password")
    kind = pw.get("Type", "")
    user = users.get(name)
    if not kind.endswith("#PasswordDigest"):
        # Clear text is what the digest exists to avoid; only a lax camera
        # takes it.
        if "password-text" in relax and user is not None and (pw.text or "") == user["password"]:
            relaxed("password-text")
            return name
        raise Refused(f"password type {kind or '(none)'} not accepted")
    if not nonce_b64 or not created:
        raise Refused("PasswordDigest without Nonce or Created")
    t = parse_utc(created)
    if t is None:
        raise Refused(f"Created '{created}' is not a UTC time")
    if abs(t - camera_now) > WINDOW_S:
        raise Refused(f"Created {created} is {int(t - camera_now)} s from the camera's clock")
    try:
        nonce = base64.b64decode(nonce_b64, validate=True)
    except ValueError:
        raise Refused("Nonce is not base64")
    if user is None:
        raise Refused(f"no ONVIF user '{name}'")
    want = base64.b64encode(hashlib.sha1(nonce + created.encode() + user["password"].encode()).digest()).decode()
    if (pw.text or "").strip() != want:
        raise Refused(f"wrong password for '{name}'")
    if not replay.first_use(nonce_b64):
        if "replay" not in relax:
            raise Refused("nonce used before")
        relaxed("replay")
    return name


def _text(parent, ns, local):
    e = parent.find(f"{{{ns}}}{local}")
    return (e.text or "").strip() if e is not None else None


_HASHES = {"MD5": hashlib.md5, "SHA-256": hashlib.sha256}


class HttpDigest:
    """RFC 7616 with qop=auth, one algorithm, nonces this camera issued."""

    def __init__(self, algorithm="MD5", realm="ONVIF camera"):
        self.algorithm = algorithm
        self.realm = realm
        self.opaque = os.urandom(8).hex()
        self._nonces = {}           # nonce -> (issued, highest nc seen)
        self._lock = threading.Lock()

    def challenge(self, stale=False):
        nonce = base64.b64encode(os.urandom(18)).decode()
        with self._lock:
            self._nonces[nonce] = (time.monotonic(), 0)
            if len(self._nonces) > 4096:
                oldest = sorted(self._nonces.items(), key=lambda kv: kv[1][0])[:2048]
                for k, _ in oldest:
                    del self._nonces[k]
        return (f'Digest realm="{self.realm}", qop="auth", algorithm={self.algorithm}, '
                f'nonce="{nonce}", opaque="{self.opaque}"' + (", stale=true" if stale else ""))

    def check(self, header, method, path, users, relax, relaxed):
        """Returns the user's name; raises Refused (with .stale set when only
        the nonce was too old)."""
        if not header.lower().startswith("digest "):
            raise Refused("Authorization is not Digest")
        p = dict((k.lower(), v[1:-1].replace('\\"', '"') if v.startswith('"') else v)
                 for k, v in re.findall(r'(\w+)\s*=\s*("(?:[^"\\]|\\.)*"|[^,\s]+)', header[7:]))
        alg = p.get("algorithm", "MD5")
        if alg.upper() != self.algorithm:
            raise Refused(f"Digest algorithm {alg} not offered")
        if p.get("qop") != "auth":
            raise Refused("Digest without qop=auth")
        for k in ("username", "realm", "nonce", "uri", "response", "cnonce", "nc"):
            if k not in p:
                raise Refused(f"Digest without {k}")
        if p["realm"] != self.realm:
            raise Refused("Digest for another realm")
        if p["uri"] != path and urllib.parse.urlsplit(p["uri"]).path != path:
            # The digest covers the uri it names; one for another resource
            # is one taken from another request.
            raise Refused(f"Digest for {p['uri']}, request for {path}")
        try:
            nc = int(p["nc"], 16)
        except ValueError:
            raise Refused("Digest nc is not hexadecimal")
        with self._lock:
            issued = self._nonces.get(p["nonce"])
            if issued is None or time.monotonic() - issued[0] > WINDOW_S:
                e = Refused("Digest nonce not issued here or too old")
                e.stale = issued is not None
                raise e
            if nc <= issued[1]:
                if "replay" not in relax:
                    raise Refused("Digest nonce count used before")
                relaxed("replay")
            self._nonces[p["nonce"]] = (issued[0], max(nc, issued[1]))
        user = users.get(p["username"])
        if user is None:
            raise Refused(f"no ONVIF user '{p['username']}'")
        h = _HASHES[self.algorithm]
        H = lambda s: h(s.encode()).hexdigest()
        ha1 = H(f"{p['username']}:{self.realm}:{user['password']}")
        ha2 = H(f"{method}:{p['uri']}")
        want = H(f"{ha1}:{p['nonce']}:{p['nc']}:{p['cnonce']}:auth:{ha2}")
        if p["response"].lower() != want:
            raise Refused(f"wrong password for '{p['username']}'")
        return p["username"]
