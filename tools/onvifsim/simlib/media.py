"""Video encoders and user accounts on an emulated camera: Media (ver10)
and Media2 (ver20) profiles with their whole encoder configuration, the
options each encoder offers, the change itself, and the user list.

The shapes follow what cameras send: Media states its options per
encoding with ranges (the bitrate in an Extension), Media2 one Options
element per encoding with lists in attributes. Two awkward cameras are
offered: one that states no options at all, and one whose profile goes
away between a client's read and its change (another client reconfigured
the recorder)."""
import copy

from . import device
from .device import LEVELS, _bad, _child, _children, _text
from .xmlout import TDS, TR2, TRT, TT

# name, encoding, width, height, fps, kbit/s, GOP, quality
_STREAMS = (("main stream", "H264", 2592, 1944, 25, 8192, 50, 5.0),
            ("sub stream", "H264", 640, 360, 15, 1024, 30, 3.0))

# Per encoding: resolutions, frame rates, bitrate range, GOP range. The
# sub stream's encoder offers only the small sizes, as a real one does.
_OFFER = {
    0: {"H264": [(2592, 1944), (1280, 720), (640, 360)], "H265": [(2592, 1944), (1280, 720), (640, 360)],
        "JPEG": [(1280, 720), (640, 360)]},
    1: {"H264": [(640, 360), (320, 180)], "H265": [(640, 360), (320, 180)], "JPEG": [(640, 360)]},
}
_FPS = (30, 25, 20, 15, 10, 5, 1)
_BITRATE = (64, 16384)
_GOP = (1, 250)
_QUALITY = (1.0, 10.0)


def add_options(add):
    add("--no-encoder-options", action="store_true",
        help="GetVideoEncoderConfigurationOptions answers with no options at all")
    add("--profile-vanishes", metavar="TOKEN",
        help="the profile TOKEN and its encoder go away once their options were read")


class MediaCamera(device.Camera):
    def __init__(self, opts, *args):
        super().__init__(opts, *args)
        self.s["profiles"] = [
            {"token": f"profile_{i + 1}", "name": name, "encoder": {
                "token": f"vec_{i + 1}", "name": f"encoder {i + 1}", "encoding": enc, "width": w, "height": h,
                "fps": fps, "bitrate": kbps, "gop": gop, "quality": q, "profile": "Main"}}
            for i, (name, enc, w, h, fps, kbps, gop, q) in enumerate(_STREAMS)]

    # -- lookups -------------------------------------------------------------
    def _find(self, token, by="token"):
        for i, p in enumerate(self.s["profiles"]):
            if (p["token"] if by == "token" else p["encoder"]["token"]) == token:
                return i, p
        if by == "token":
            raise _bad("NoProfile", f"no profile '{token}'")
        raise _bad("NoConfig", f"no video encoder configuration '{token}'")

    def _profile_index(self, token):
        return self._find(token)[0]

    def _offer(self, i):
        return _OFFER[min(i, 1)]

    def _vanish_after_options(self, i):
        p = self.s["profiles"][i]
        if self.opts.profile_vanishes and p["token"] == self.opts.profile_vanishes:
            with self.lock:
                self.s["profiles"] = [q for q in self.s["profiles"] if q is not p]
            self.opts.log(f"profile-vanished {p['token']}")

    # -- Media (ver10) -------------------------------------------------------
    def GetProfiles(self, w, req):
        r = w.el(w.body, TRT, "GetProfilesResponse")
        for i, p in enumerate(self.s["profiles"]):
            self._profile(w, w.el(r, TRT, "Profiles", attrs={"token": p["token"], "fixed": "true"}), i)

    def GetProfile(self, w, req):
        i, p = self._find(_text(req, "ProfileToken"))
        self._profile(w, w.el(w.el(w.body, TRT, "GetProfileResponse"), TRT, "Profile",
                              attrs={"token": p["token"], "fixed": "true"}), i)

    def _profile(self, w, el, i):
        p = self.s["profiles"][i]
        e = p["encoder"]
        w.el(el, TT, "Name", p["name"])
        vs = w.el(el, TT, "VideoSourceConfiguration", attrs={"token": "vsc_1"})
        w.tree(vs, TT, [("Name", "video source"), ("UseCount", len(self.s["profiles"])), ("SourceToken", "vs_1")])
        w.el(vs, TT, "Bounds", attrs={"x": 0, "y": 0, "width": 2592, "height": 1944})
        if e["encoding"] == "H265":
            return   # Media cannot state H.265: the profile shows no encoder there
        ve = w.el(el, TT, "VideoEncoderConfiguration", attrs={"token": e["token"]})
        tree = [("Name", e["name"]), ("UseCount", 1), ("Encoding", e["encoding"]),
                ("Resolution", [("Width", e["width"]), ("Height", e["height"])]), ("Quality", _num(e["quality"])),
                ("RateControl", [("FrameRateLimit", int(e["fps"])), ("EncodingInterval", 1),
                                 ("BitrateLimit", e["bitrate"])])]
        if e["encoding"] == "H264":
            tree.append(("H264", [("GovLength", e["gop"]), ("H264Profile", e["profile"])]))
        tree += [("Multicast", [("Address", [("Type", "IPv4"), ("IPv4Address", "0.0.0.0")]), ("Port", 0),
                                ("TTL", 1), ("AutoStart", False)]), ("SessionTimeout", "PT60S")]
        w.tree(ve, TT, tree)

    def GetVideoEncoderConfigurationOptions(self, w, req):
        i = self._options_for(req)
        r = w.el(w.body, TRT, "GetVideoEncoderConfigurationOptionsResponse")
        o = w.el(r, TRT, "Options")
        if not self.opts.no_encoder_options:
            offer = self._offer(i)
            w.tree(o, TT, [("QualityRange", [("Min", _num(_QUALITY[0])), ("Max", _num(_QUALITY[1]))])])
            for enc in ("JPEG", "H264"):
                items = [("ResolutionsAvailable", [("Width", a), ("Height", b)]) for a, b in offer[enc]]
                if enc == "H264":
                    items.append(("GovLengthRange", [("Min", _GOP[0]), ("Max", _GOP[1])]))
                items += [("FrameRateRange", [("Min", min(_FPS)), ("Max", max(_FPS))]),
                          ("EncodingIntervalRange", [("Min", 1), ("Max", 1)])]
                if enc == "H264":
                    items.append(("H264ProfilesSupported", "Main"))
                w.tree(w.el(o, TT, enc), TT, items)
            ext = w.el(o, TT, "Extension")
            for enc in ("JPEG", "H264"):
                items = [("ResolutionsAvailable", [("Width", a), ("Height", b)]) for a, b in offer[enc]]
                if enc == "H264":
                    items.append(("GovLengthRange", [("Min", _GOP[0]), ("Max", _GOP[1])]))
                items += [("FrameRateRange", [("Min", min(_FPS)), ("Max", max(_FPS))]),
                          ("EncodingIntervalRange", [("Min", 1), ("Max", 1)])]
                if enc == "H264":
                    items.append(("H264ProfilesSupported", "Main"))
                items.append(("BitrateRange", [("Min", _BITRATE[0]), ("Max", _BITRATE[1])]))
                w.tree(w.el(ext, TT, enc), TT, items)
        self._vanish_after_options(i)

    def _options_for(self, req):
        token = _text(req, "ConfigurationToken")
        if token:
            return self._find(token, by="encoder")[0]
        profile = _text(req, "ProfileToken")
        return self._find(profile)[0] if profile else 0

    def SetVideoEncoderConfiguration(self, w, req):
        c = _child(req, "Configuration")
        rate = _child(c, "RateControl")
        new = {"encoding": _text(c, "Encoding"),
               "width": int(_text(_child(c, "Resolution"), "Width")),
               "height": int(_text(_child(c, "Resolution"), "Height")),
               "quality": float(_text(c, "Quality"))}
        if rate is not None:
            new["fps"] = float(_text(rate, "FrameRateLimit"))
            new["bitrate"] = int(_text(rate, "BitrateLimit"))
        h264 = _child(c, "H264")
        if h264 is not None:
            new["gop"] = int(_text(h264, "GovLength"))
        self._set_encoder(c.get("token"), new)
        w.el(w.body, TRT, "SetVideoEncoderConfigurationResponse")

    def _set_encoder(self, token, new):
        i, p = self._find(token, by="encoder")
        offer = self._offer(i)
        if new["encoding"] not in offer:
            raise _bad("ConfigModify", f"encoding {new['encoding']} not supported")
        if (new["width"], new["height"]) not in offer[new["encoding"]]:
            raise _bad("ConfigModify", f"resolution {new['width']}x{new['height']} not supported")
        if "fps" in new and not min(_FPS) <= new["fps"] <= max(_FPS):
            raise _bad("ConfigModify", "frame rate out of range")
        if "bitrate" in new and not _BITRATE[0] <= new["bitrate"] <= _BITRATE[1]:
            raise _bad("ConfigModify", "bitrate out of range")
        if "gop" in new and not _GOP[0] <= new["gop"] <= _GOP[1]:
            raise _bad("ConfigModify", "GOP length out of range")
        if not _QUALITY[0] <= new["quality"] <= _QUALITY[1]:
            raise _bad("ConfigModify", "quality out of range")
        with self.lock:
            p["encoder"].update(new)

    # -- Media2 (ver20) ------------------------------------------------------
    def GetProfiles2(self, w, req):
        kinds = {(t.text or "").strip() for t in _children(req, "Type")}
        token = _text(req, "Token")
        r = w.el(w.body, TR2, "GetProfilesResponse")
        for p in self.s["profiles"]:
            if token and p["token"] != token:
                continue
            el = w.el(r, TR2, "Profiles", attrs={"token": p["token"], "fixed": "true"})
            w.el(el, TR2, "Name", p["name"])
            if kinds & {"VideoEncoder", "All"}:
                e = p["encoder"]
                cfg = w.el(w.el(el, TR2, "Configurations"), TR2, "VideoEncoder",
                           attrs={"token": e["token"], "GovLength": e["gop"], "Profile": e["profile"]})
                w.tree(cfg, TT, [("Name", e["name"]), ("UseCount", 1), ("Encoding", e["encoding"]),
                                 ("Resolution", [("Width", e["width"]), ("Height", e["height"])])])
                rc = w.el(cfg, TT, "RateControl", attrs={"ConstantBitRate": "false"})
                w.tree(rc, TT, [("FrameRateLimit", _num(e["fps"])), ("BitrateLimit", e["bitrate"])])
                w.tree(cfg, TT, [("Multicast", [("Address", [("Type", "IPv4"), ("IPv4Address", "0.0.0.0")]),
                                                ("Port", 0), ("TTL", 1), ("AutoStart", False)]),
                                 ("Quality", _num(e["quality"]))])

    def GetVideoEncoderConfigurationOptions2(self, w, req):
        i = self._options_for(req)
        r = w.el(w.body, TR2, "GetVideoEncoderConfigurationOptionsResponse")
        if not self.opts.no_encoder_options:
            for enc, sizes in self._offer(i).items():
                attrs = {"FrameRatesSupported": " ".join(str(f) for f in _FPS), "ConstantBitRateSupported": "true"}
                if enc != "JPEG":
                    attrs.update(GovLengthRange=f"{_GOP[0]} {_GOP[1]}", ProfilesSupported="Main")
                o = w.el(r, TR2, "Options", attrs=attrs)
                w.tree(o, TT, [("Encoding", enc),
                               ("QualityRange", [("Min", _num(_QUALITY[0])), ("Max", _num(_QUALITY[1]))])] +
                       [("ResolutionsAvailable", [("Width", a), ("Height", b)]) for a, b in sizes] +
                       [("BitrateRange", [("Min", _BITRATE[0]), ("Max", _BITRATE[1])])])
        self._vanish_after_options(i)

    def SetVideoEncoderConfiguration2(self, w, req):
        c = _child(req, "Configuration")
        new = {"encoding": _text(c, "Encoding"),
               "width": int(_text(_child(c, "Resolution"), "Width")),
               "height": int(_text(_child(c, "Resolution"), "Height")),
               "quality": float(_text(c, "Quality"))}
        rate = _child(c, "RateControl")
        if rate is not None:
            new["fps"] = float(_text(rate, "FrameRateLimit"))
            new["bitrate"] = int(_text(rate, "BitrateLimit"))
        if c.get("GovLength"):
            new["gop"] = int(c.get("GovLength"))
        if new["fps"] not in _FPS if "fps" in new else False:
            raise _bad("ConfigModify", f"frame rate {new['fps']:g} not supported")
        self._set_encoder(c.get("token"), new)
        w.el(w.body, TR2, "SetVideoEncoderConfigurationResponse")

    # -- users ---------------------------------------------------------------
    def CreateUsers(self, w, req):
        added = []
        for u in _children(req, "User"):
            name, pw, level = _text(u, "Username"), _text(u, "Password"), _text(u, "UserLevel")
            if name in self.s["users"] or name in (a[0] for a in added):
                raise _bad("UsernameClash", f"user '{name}' exists")
            if level not in LEVELS:
                raise _bad("AnonymousNotAllowed" if level == "Anonymous" else "InvalidArgVal",
                           f"user level '{level}' not settable")
            if not pw or not 1 <= len(pw) <= 64:
                raise _bad("PasswordTooLong", "passwords are 1 to 64 characters here")
            added.append((name, pw, level))
        with self.lock:
            for name, pw, level in added:
                self.s["users"][name] = {"password": pw, "level": level}
        w.el(w.body, TDS, "CreateUsersResponse")

    def DeleteUsers(self, w, req):
        names = [(n.text or "").strip() for n in _children(req, "Username")]
        for name in names:
            if name not in self.s["users"]:
                raise _bad("UsernameMissing", f"no user '{name}'")
        left = [n for n, u in self.s["users"].items() if n not in names and u["level"] == "Administrator"]
        if not left:
            raise _bad("FixedUser", "the last administrator cannot be deleted")
        with self.lock:
            for name in names:
                del self.s["users"][name]
        w.el(w.body, TDS, "DeleteUsersResponse")

    def snapshot(self):
        d = super().snapshot()
        with self.lock:
            d["profiles"] = copy.deepcopy(self.s["profiles"])
        return d


def _num(v):
    return int(v) if float(v).is_integer() else v


device.OPERATIONS[TDS] = device.OPERATIONS[TDS] + ("CreateUsers", "DeleteUsers")
device.OPERATIONS[TRT] = device.OPERATIONS[TRT] + ("GetVideoEncoderConfigurationOptions", "SetVideoEncoderConfiguration")
device.OPERATIONS[TR2] = device.OPERATIONS[TR2] + ("GetVideoEncoderConfigurationOptions", "SetVideoEncoderConfiguration")
