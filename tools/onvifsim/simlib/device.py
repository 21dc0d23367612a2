"""One emulated camera: its state and the Device and Media calls on it."""
import datetime
import ipaddress
import re
import threading
import time

from . import firmware
from .xmlout import TDS, TR2, TRT, TT

LEVELS = ("Administrator", "Operator", "User")


class Fault(Exception):
    """A SOAP fault to answer with: code Sender/Receiver, ONVIF subcodes."""

    def __init__(self, code, subcode, reason):
        super().__init__(reason)
        self.code, self.subcode, self.reason = code, subcode, reason


def _bad(subcode, reason):
    return Fault("Sender", subcode, reason)


def _child(e, local):
    """A child by local name in any namespace: the schema check already
    holds the request to the right namespaces (and the lenient camera, as
    firmware does, does not care)."""
    if e is None:
        return None
    for c in e:
        if isinstance(c.tag, str) and c.tag.rsplit("}", 1)[-1] == local:
            return c
    return None


def _children(e, local):
    return [c for c in (e if e is not None else []) if isinstance(c.tag, str) and c.tag.rsplit("}", 1)[-1] == local]


def _text(e, local, default=None):
    c = _child(e, local)
    return (c.text or "").strip() if c is not None else default


def _bool(e, local, default=None):
    t = _text(e, local)
    if t is None:
        return default
    if t not in ("true", "false", "1", "0"):
        raise _bad("InvalidArgVal", f"{local} is not a boolean")
    return t in ("true", "1")


def _ipv4(text, what):
    try:
        return str(ipaddress.IPv4Address(text))
    except (ValueError, TypeError):
        raise _bad("InvalidIPv4Address", f"{what} '{text}' is not an IPv4 address")


def posix_tz_offset(tz):
    """Seconds east of UTC of a POSIX TZ string's standard time (daylight
    saving left out), or None when it is not one."""
    m = re.match(r"^(?:[A-Za-z]{3,}|<[A-Za-z0-9+-]{3,}>)([+-]?)(\d{1,2})(?::(\d\d))?(?::(\d\d))?", tz or "")
    if not m:
        return None
    s = int(m.group(2)) * 3600 + int(m.group(3) or 0) * 60 + int(m.group(4) or 0)
    return s if m.group(1) == "-" else -s   # POSIX counts west as positive


class Camera:
    def __init__(self, opts, index, address, prefix, mac, uuid):
        self.opts = opts
        self.index = index
        self.uuid = uuid
        n = "" if opts.count == 1 else f"-{index + 1}"
        self.lock = threading.RLock()
        self.address, self.prefix = address, prefix
        self.mac = mac
        link_local = ipaddress.IPv4Address(address).is_link_local
        self.s = {
            "name": opts.name + n, "hardware": opts.hardware, "location": opts.location,
            "manufacturer": opts.manufacturer, "model": opts.model, "firmware": opts.firmware,
            "serial": opts.serial + n, "hardware_id": opts.hardware_id,
            "hostname": opts.hostname + n, "hostname_from_dhcp": False,
            # A camera on a link-local address only is one whose DHCP got no answer.
            "dhcp": link_local, "gateway": [], "dns_from_dhcp": False, "dns": [], "search_domains": [],
            "ntp_from_dhcp": False, "ntp": [],
            "time_type": "Manual", "dst": False, "tz": "UTC0", "clock_offset_s": opts.clock_offset_s,
            "users": {} if opts.no_onvif_user else {opts.user: {"password": opts.password, "level": "Administrator"}},
            "pending_network": None, "reboots": 0,
        }
        self.metadata_version = 1
        self.rebooting = False

    # -- what the rest of the emulator asks ---------------------------------
    def now(self):
        return time.time() + self.s["clock_offset_s"]

    def users(self):
        return self.s["users"]

    def device_url(self, host=None):
        port = "" if self.opts.port == 80 else f":{self.opts.port}"
        return f"http://{host or self.address}{port}/onvif/device_service"

    def service_host(self):
        # A camera that reports an address nobody can reach (behind NAT, or
        # its factory address) still answers on the one we reached.
        return self.opts.unreachable_xaddr or self.address

    def scopes(self):
        q = lambda s: re.sub(r"[^A-Za-z0-9._~-]", lambda m: "".join(f"%{b:02X}" for b in m.group().encode()), s)
        return ["onvif://www.onvif.org/type/video_encoder", "onvif://www.onvif.org/Profile/Streaming",
                f"onvif://www.onvif.org/name/{q(self.s['name'])}",
                f"onvif://www.onvif.org/hardware/{q(self.s['hardware'])}",
                f"onvif://www.onvif.org/location/{q(self.s['location'])}"]

    def snapshot(self):
        with self.lock:
            d = {k: v for k, v in self.s.items() if k != "users"}
            d["users"] = [{"name": k, "level": v["level"], "password": v["password"]} for k, v in self.s["users"].items()]
            d.update(uuid=self.uuid, address=self.address, prefix=self.prefix, mac=self.mac,
                     metadata_version=self.metadata_version, camera_utc=_iso(self.now()))
            return d

    # -- the calls ----------------------------------------------------------
    # Each handler gets (writer, request payload) and fills the writer's
    # body; it returns a callable to run once the reply has gone out, or None.

    def GetSystemDateAndTime(self, w, req):
        r = w.el(w.body, TDS, "GetSystemDateAndTimeResponse")
        d = w.el(r, TDS, "SystemDateAndTime")
        now = self.now()
        off = posix_tz_offset(self.s["tz"]) or 0
        w.tree(d, TT, [("DateTimeType", self.s["time_type"]), ("DaylightSavings", self.s["dst"]),
                       ("TimeZone", [("TZ", self.s["tz"])]),
                       ("UTCDateTime", _date_time(now)), ("LocalDateTime", _date_time(now + off))])

    def GetDeviceInformation(self, w, req):
        r = w.el(w.body, TDS, "GetDeviceInformationResponse")
        for local, key in (("Manufacturer", "manufacturer"), ("Model", "model"), ("FirmwareVersion", "firmware"),
                           ("SerialNumber", "serial"), ("HardwareId", "hardware_id")):
            w.el(r, TDS, local, self.s[key])

    def GetEndpointReference(self, w, req):
        # How a client that came by address learns the identity a search
        # would have given it.
        w.el(w.el(w.body, TDS, "GetEndpointReferenceResponse"), TDS, "GUID", self.uuid)

    def GetCapabilities(self, w, req):
        cats = [c.text.strip() for c in _children(req, "Category") if c.text] or ["All"]
        r = w.el(w.body, TDS, "GetCapabilitiesResponse")
        caps = w.el(r, TDS, "Capabilities")
        host = self.service_host()
        if any(c in ("All", "Device") for c in cats):
            w.tree(caps, TT, [("Device", [
                ("XAddr", self.device_url(host)),
                ("Network", [("IPFilter", False), ("ZeroConfiguration", False), ("IPVersion6", False), ("DynDNS", False)]),
                ("System", [("DiscoveryResolve", False), ("DiscoveryBye", True), ("RemoteDiscovery", False),
                            ("SystemBackup", False), ("SystemLogging", False), ("FirmwareUpgrade", False),
                            ("SupportedVersions", [("Major", 2), ("Minor", 60)])]),
                ("Security", [("TLS1.1", False), ("TLS1.2", False), ("OnboardKeyGeneration", False),
                              ("AccessPolicyConfig", False), ("X.509Token", False), ("SAMLToken", False),
                              ("KerberosToken", False), ("RELToken", False)])])])
        if any(c in ("All", "Media") for c in cats):
            w.tree(caps, TT, [("Media", [("XAddr", self._media_url(host)), ("StreamingCapabilities", [
                ("RTPMulticast", False), ("RTP_TCP", True), ("RTP_RTSP_TCP", True)])])])
        if not any(c in ("All", "Device", "Media") for c in cats):
            raise Fault("Receiver", "ActionNotSupported", "no such capability category here")

    def GetServices(self, w, req):
        r = w.el(w.body, TDS, "GetServicesResponse")
        host = self.service_host()
        media = (TR2, self._media_url(host).replace("/media_service", "/media2_service")) if self.opts.media2_only \
            else (TRT, self._media_url(host))
        for ns, url in ((TDS, self.device_url(host)), media):
            s = w.el(r, TDS, "Service")
            w.el(s, TDS, "Namespace", ns)
            w.el(s, TDS, "XAddr", url)
            v = w.el(s, TDS, "Version")
            w.tree(v, TT, [("Major", 2), ("Minor", 60)])

    def _media_url(self, host):
        return self.device_url(host).replace("/device_service", "/media_service")

    def GetNetworkInterfaces(self, w, req):
        r = w.el(w.body, TDS, "GetNetworkInterfacesResponse")
        ni = w.el(r, TDS, "NetworkInterfaces", attrs={"token": self.opts.iface})
        ll = ipaddress.IPv4Address(self.address).is_link_local
        own = [("Address", self.address), ("PrefixLength", self.prefix)]
        if self.opts.claim_address:
            a, p = self.opts.claim_address.split("/")
            own = [("Address", a), ("PrefixLength", int(p))]
        w.tree(ni, TT, [("Enabled", True), ("Info", [("Name", self.opts.iface), ("HwAddress", self.mac), ("MTU", 1500)]),
                        ("IPv4", [("Enabled", True), ("Config", [
                            ("Manual", None if (self.s["dhcp"] or ll) else own),
                            ("LinkLocal", own if ll else None),
                            ("FromDHCP", own if (self.s["dhcp"] and not ll) else None),
                            ("DHCP", self.s["dhcp"])])])])

    def SetNetworkInterfaces(self, w, req):
        token = _text(req, "InterfaceToken")
        if token != self.opts.iface:
            raise _bad("InvalidNetworkInterface", f"no network interface '{token}'")
        v4 = _child(_child(req, "NetworkInterface"), "IPv4")
        if v4 is None:
            raise _bad("InvalidArgVal", "only IPv4 is set here")
        dhcp = _bool(v4, "DHCP", self.s["dhcp"])
        manual = _children(v4, "Manual")
        new = None
        if not dhcp:
            if len(manual) != 1:
                raise _bad("InvalidIPv4Address", "one manual IPv4 address, please")
            a = _ipv4(_text(manual[0], "Address"), "Address")
            try:
                p = int(_text(manual[0], "PrefixLength", ""))
            except ValueError:
                p = -1
            if not 1 <= p <= 32:
                raise _bad("InvalidIPv4Address", "PrefixLength out of range")
            new = (a, p)
        reboot = self.opts.reboot_needed
        with self.lock:
            pending = {"dhcp": dhcp, "address": new}
            if reboot:
                self.s["pending_network"] = pending
        w.el(w.el(w.body, TDS, "SetNetworkInterfacesResponse"), TDS, "RebootNeeded", "true" if reboot else "false")
        if not reboot:
            return lambda: self.apply_network(pending)

    def GetNetworkDefaultGateway(self, w, req):
        r = w.el(w.body, TDS, "GetNetworkDefaultGatewayResponse")
        g = w.el(r, TDS, "NetworkGateway")
        for a in self.s["gateway"]:
            w.el(g, TT, "IPv4Address", a)

    def SetNetworkDefaultGateway(self, w, req):
        gw = [_ipv4(e.text, "IPv4Address") for e in _children(req, "IPv4Address")]
        with self.lock:
            self.s["gateway"] = gw
        w.el(w.body, TDS, "SetNetworkDefaultGatewayResponse")

    def GetDNS(self, w, req):
        r = w.el(w.body, TDS, "GetDNSResponse")
        d = w.el(r, TDS, "DNSInformation")
        w.el(d, TT, "FromDHCP", "true" if self.s["dns_from_dhcp"] else "false")
        for s in self.s["search_domains"]:
            w.el(d, TT, "SearchDomain", s)
        for a in self.s["dns"]:
            w.tree(d, TT, [("DNSManual", [("Type", "IPv4"), ("IPv4Address", a)])])

    def SetDNS(self, w, req):
        from_dhcp = _bool(req, "FromDHCP", False)
        dns = []
        for m in _children(req, "DNSManual"):
            if _text(m, "Type") != "IPv4":
                raise _bad("InvalidIPv4Address", "only IPv4 name servers here")
            dns.append(_ipv4(_text(m, "IPv4Address"), "IPv4Address"))
        with self.lock:
            self.s.update(dns_from_dhcp=from_dhcp, dns=dns,
                          search_domains=[(e.text or "").strip() for e in _children(req, "SearchDomain")])
        w.el(w.body, TDS, "SetDNSResponse")

    def GetNTP(self, w, req):
        r = w.el(w.body, TDS, "GetNTPResponse")
        d = w.el(r, TDS, "NTPInformation")
        w.el(d, TT, "FromDHCP", "true" if self.s["ntp_from_dhcp"] else "false")
        for a in self.s["ntp"]:
            try:
                ipaddress.IPv4Address(a)
                w.tree(d, TT, [("NTPManual", [("Type", "IPv4"), ("IPv4Address", a)])])
            except ValueError:
                w.tree(d, TT, [("NTPManual", [("Type", "DNS"), ("DNSname", a)])])

    def SetNTP(self, w, req):
        from_dhcp = _bool(req, "FromDHCP", False)
        ntp = []
        for m in _children(req, "NTPManual"):
            kind = _text(m, "Type")
            if kind == "IPv4":
                ntp.append(_ipv4(_text(m, "IPv4Address"), "IPv4Address"))
            elif kind == "DNS":
                name = _text(m, "DNSname", "")
                if not _hostname_ok(name, dots=True):
                    raise _bad("InvalidDnsName", f"'{name}' is not a host name")
                ntp.append(name)
            else:
                raise _bad("InvalidIPv4Address", "only IPv4 or DNS time servers here")
        with self.lock:
            self.s.update(ntp_from_dhcp=from_dhcp, ntp=ntp)
        w.el(w.body, TDS, "SetNTPResponse")

    def GetHostname(self, w, req):
        r = w.el(w.body, TDS, "GetHostnameResponse")
        h = w.el(r, TDS, "HostnameInformation")
        w.tree(h, TT, [("FromDHCP", self.s["hostname_from_dhcp"]), ("Name", self.s["hostname"] or None)])

    def SetHostname(self, w, req):
        name = _text(req, "Name", "")
        if not _hostname_ok(name, dots=False):
            raise _bad("InvalidHostname", f"'{name}' is not a host name")
        with self.lock:
            self.s.update(hostname=name, hostname_from_dhcp=False)
        w.el(w.body, TDS, "SetHostnameResponse")

    def SetSystemDateAndTime(self, w, req):
        kind = _text(req, "DateTimeType")
        if kind not in ("Manual", "NTP"):
            raise _bad("InvalidArgVal", "DateTimeType is Manual or NTP")
        tz = _text(_child(req, "TimeZone"), "TZ")
        if tz is not None and posix_tz_offset(tz) is None:
            raise _bad("InvalidTimeZone", f"'{tz}' is not a POSIX time zone")
        offset = None
        utc = _child(req, "UTCDateTime")
        if kind == "Manual":
            if utc is None:
                raise _bad("InvalidDateTime", "a manual clock needs UTCDateTime")
            d, t = _child(utc, "Date"), _child(utc, "Time")
            try:
                when = datetime.datetime(int(_text(d, "Year")), int(_text(d, "Month")), int(_text(d, "Day")),
                                         int(_text(t, "Hour")), int(_text(t, "Minute")), int(_text(t, "Second")),
                                         tzinfo=datetime.timezone.utc).timestamp()
            except (TypeError, ValueError):
                raise _bad("InvalidDateTime", "UTCDateTime is not a date and time")
            offset = round(when - time.time())
        with self.lock:
            self.s.update(time_type=kind, dst=_bool(req, "DaylightSavings", False))
            if tz is not None:
                self.s["tz"] = tz
            if offset is not None:
                self.s["clock_offset_s"] = offset
        w.el(w.body, TDS, "SetSystemDateAndTimeResponse")

    def GetUsers(self, w, req):
        r = w.el(w.body, TDS, "GetUsersResponse")
        for name, u in self.s["users"].items():
            w.tree(w.el(r, TDS, "User"), TT, [("Username", name), ("UserLevel", u["level"])])
    LEVEL_GetUsers = "Administrator"

    def SetUser(self, w, req):
        changes = []
        for u in _children(req, "User"):
            name = _text(u, "Username")
            if name not in self.s["users"]:
                raise _bad("UsernameMissing", f"no user '{name}'")
            level = _text(u, "UserLevel")
            if level not in LEVELS:
                raise _bad("InvalidArgVal", f"user level '{level}' not settable")
            pw = _text(u, "Password")
            if pw is not None and not 1 <= len(pw) <= 64:
                raise _bad("PasswordTooLong", "passwords are 1 to 64 characters here")
            changes.append((name, pw, level))
        with self.lock:
            for name, pw, level in changes:
                if pw is not None:
                    self.s["users"][name]["password"] = pw
                self.s["users"][name]["level"] = level
        w.el(w.body, TDS, "SetUserResponse")

    def SystemReboot(self, w, req):
        w.el(w.el(w.body, TDS, "SystemRebootResponse"), TDS, "Message", f"Rebooting in {self.opts.reboot_s:g} seconds")
        return self.reboot

    def StartFirmwareUpgrade(self, w, req):
        return firmware.start(self, w, req)

    def UpgradeSystemFirmware(self, w, req):
        return firmware.upgrade_system(self, w, req, Fault)

    def SetSystemFactoryDefault(self, w, req):
        try:
            return firmware.factory_default(self, w, req)
        except ValueError as e:
            raise _bad("InvalidArgVal", str(e))

    def GetProfiles(self, w, req):
        r = w.el(w.body, TRT, "GetProfilesResponse")
        for i, (name, width, height) in enumerate(_PROFILES):
            self._profile(w, w.el(r, TRT, "Profiles", attrs={"token": f"profile_{i + 1}", "fixed": "true"}), i)

    def GetProfile(self, w, req):
        token = _text(req, "ProfileToken")
        i = self._profile_index(token)
        self._profile(w, w.el(w.el(w.body, TRT, "GetProfileResponse"), TRT, "Profile",
                              attrs={"token": token, "fixed": "true"}), i)

    def _profile_index(self, token):
        tokens = [f"profile_{i + 1}" for i in range(len(_PROFILES))]
        if token not in tokens:
            raise _bad("NoProfile", f"no profile '{token}'")
        return tokens.index(token)

    def _profile(self, w, p, i):
        name, width, height = _PROFILES[i]
        w.el(p, TT, "Name", name)
        vs = w.el(p, TT, "VideoSourceConfiguration", attrs={"token": "vsc_1"})
        w.tree(vs, TT, [("Name", "video source"), ("UseCount", len(_PROFILES)), ("SourceToken", "vs_1")])
        w.el(vs, TT, "Bounds", attrs={"x": 0, "y": 0, "width": 1920, "height": 1080})
        ve = w.el(p, TT, "VideoEncoderConfiguration", attrs={"token": f"vec_{i + 1}"})
        w.tree(ve, TT, [("Name", f"encoder {i + 1}"), ("UseCount", 1), ("Encoding", "H264"),
                        ("Resolution", [("Width", width), ("Height", height)]), ("Quality", 5),
                        ("RateControl", [("FrameRateLimit", 25), ("EncodingInterval", 1), ("BitrateLimit", 4096 >> i)]),
                        ("H264", [("GovLength", 50), ("H264Profile", "Main")]),
                        ("Multicast", [("Address", [("Type", "IPv4"), ("IPv4Address", "0.0.0.0")]), ("Port", 0),
                                       ("TTL", 1), ("AutoStart", False)]),
                        ("SessionTimeout", "PT60S")])

    def GetStreamUri(self, w, req):
        i = self._profile_index(_text(req, "ProfileToken"))
        r = w.el(w.body, TRT, "GetStreamUriResponse")
        w.tree(w.el(r, TRT, "MediaUri"), TT, [
            ("Uri", f"rtsp://{self.address}:554/stream{i + 1}"),
            ("InvalidAfterConnect", False), ("InvalidAfterReboot", False), ("Timeout", "PT0S")])

    def GetProfiles2(self, w, req):
        r = w.el(w.body, TR2, "GetProfilesResponse")
        for i, (name, _, _) in enumerate(_PROFILES):
            w.el(w.el(r, TR2, "Profiles", attrs={"token": f"profile_{i + 1}", "fixed": "true"}), TR2, "Name", name)

    def GetStreamUri2(self, w, req):
        i = self._profile_index(_text(req, "ProfileToken"))
        w.el(w.el(w.body, TR2, "GetStreamUriResponse"), TR2, "Uri", f"rtsp://{self.address}:554/media2/stream{i + 1}")

    # -- what happens after a reply -----------------------------------------
    def apply_network(self, pending):
        """Moves the card to the new address (DHCP keeps the one it has: the
        lab has no DHCP server for cameras), then says Hello from there."""
        with self.lock:
            self.s["dhcp"] = pending["dhcp"]
            old = (self.address, self.prefix)
            new = pending["address"] or old
            try:
                self.opts.move_address(old, new)
            except OSError as e:
                self.opts.log(f"address-change-failed {old[0]}/{old[1]} -> {new[0]}/{new[1]}: {e}")
                return
            self.address, self.prefix = new
            self.metadata_version += 1
        self.opts.log(f"address {old[0]}/{old[1]} -> {new[0]}/{new[1]} dhcp={pending['dhcp']}")
        self.opts.changed(self, hello=True)

    def reboot(self):
        with self.lock:
            self.rebooting = True
            self.s["reboots"] += 1
            pending, self.s["pending_network"] = self.s["pending_network"], None
        self.opts.log(f"rebooting {self.uuid}")
        time.sleep(self.opts.reboot_s)
        with self.lock:
            self.rebooting = False
        if pending:
            self.apply_network(pending)
        else:
            self.opts.changed(self, hello=True)


# Reading takes any user, changing an administrator; a LEVEL_ says
# otherwise for a call (the user list is a secret).
def level_needed(op):
    lvl = getattr(Camera, f"LEVEL_{op}", None)
    if lvl:
        return lvl
    return "User" if op.startswith("Get") else "Administrator"


_PROFILES = (("main stream", 1920, 1080), ("sub stream", 640, 360))

OPERATIONS = {
    TDS: ("GetSystemDateAndTime", "GetDeviceInformation", "GetEndpointReference", "GetCapabilities", "GetServices",
          "GetNetworkInterfaces", "SetNetworkInterfaces", "GetNetworkDefaultGateway", "SetNetworkDefaultGateway",
          "GetDNS", "SetDNS", "GetNTP", "SetNTP", "GetHostname", "SetHostname", "SetSystemDateAndTime",
          "GetUsers", "SetUser", "SystemReboot", "StartFirmwareUpgrade", "UpgradeSystemFirmware",
          "SetSystemFactoryDefault"),
    TRT: ("GetProfiles", "GetProfile", "GetStreamUri"),
    TR2: ("GetProfiles", "GetStreamUri"),
}


def allowed(level, needed):
    return LEVELS.index(level) <= LEVELS.index(needed)


def _hostname_ok(name, dots):
    labels = name.split(".") if dots else [name]
    return bool(name) and len(name) <= 253 and all(
        re.fullmatch(r"[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?", l) for l in labels)


def _date_time(t):
    d = datetime.datetime.fromtimestamp(t, datetime.timezone.utc)
    return [("Time", [("Hour", d.hour), ("Minute", d.minute), ("Second", d.second)]),
            ("Date", [("Year", d.year), ("Month", d.month), ("Day", d.day)])]


def _iso(t):
    return datetime.datetime.fromtimestamp(t, datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ")
