"""WS-Discovery on the camera's card: answers a Probe with a ProbeMatch sent
back to the sender, and announces Hello and Bye to the group. Every camera
of this process sends from its own address through the card itself, so a
PC in another subnet still gets the answer (a camera's one port needs no
route to answer the PC beside it)."""
import heapq
import random
import select
import socket
import threading
import time
import uuid as uuidlib

from lxml import etree

from . import netcard
from .xmlout import DN, SOAP, TDS, WSA, WSD, Writer

GROUP, PORT = "239.255.255.250", 3702
ANONYMOUS = "http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous"
SO_BINDTODEVICE = getattr(socket, "SO_BINDTODEVICE", 25)
IP_PKTINFO = getattr(socket, "IP_PKTINFO", 8)
MAX_DATAGRAM = 65535
TYPES = "dn:NetworkVideoTransmitter tds:Device"


class Responder:
    def __init__(self, opts, cameras):
        self.opts = opts
        self.cameras = cameras
        self.ifindex = netcard.index(opts.iface)
        self.instance = int(time.time())
        self.message_number = 0
        self.queue = []             # (when, seq, camera, bytes, destination)
        self.seq = 0
        self.lock = threading.Lock()
        self.wake_r, self.wake_w = socket.socketpair()
        self.senders = {}           # camera index -> (address, socket)
        self.answerer = None        # with --probe-answer-from
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind(("", PORT))
        # Where each probe was sent: a probe sent straight to one camera's
        # address is answered by that camera alone, as separate devices
        # would answer it.
        self.listener.setsockopt(socket.IPPROTO_IP, IP_PKTINFO, 1)
        self.listener.setsockopt(socket.IPPROTO_IP, socket.IP_ADD_MEMBERSHIP, netcard.mreqn(GROUP, self.ifindex))
        self.stopping = False

    # -- sending ------------------------------------------------------------
    def _sender(self, cam):
        with self.lock:
            have = self.senders.get(cam.index)
            if have and have[0] == cam.address:
                return have[1]
            if have:
                have[1].close()
            s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            s.setsockopt(socket.SOL_SOCKET, SO_BINDTODEVICE, self.opts.iface.encode())
            s.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF, netcard.mreqn("0.0.0.0", self.ifindex))
            s.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_LOOP, 0)
            s.bind((cam.address, 0))
            self.senders[cam.index] = (cam.address, s)
            return s

    def _answer_socket(self):
        """The socket search answers leave from with --probe-answer-from: a
        device whose discovery service is bound to one address of its card
        answers probes sent to any other from that one."""
        with self.lock:
            if self.answerer is None:
                s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
                s.setsockopt(socket.SOL_SOCKET, SO_BINDTODEVICE, self.opts.iface.encode())
                s.bind((self.opts.probe_answer_from, 0))
                self.answerer = s
            return self.answerer

    def _send(self, cam, data, dest):
        try:
            if self.opts.probe_answer_from and b"ProbeMatch" in data:
                self._answer_socket().sendto(data, dest)
                return
            self._sender(cam).sendto(data, dest)
        except OSError as e:
            self.opts.log(f"discovery-send-failed {cam.address} -> {dest[0]}: {e}")

    def schedule(self, delay, cam, data, dest):
        with self.lock:
            self.seq += 1
            heapq.heappush(self.queue, (time.monotonic() + delay, self.seq, cam, data, dest))
        self.wake_w.send(b"x")

    # -- messages -----------------------------------------------------------
    def _envelope(self, action, relates_to=None, to="urn:schemas-xmlsoap-org:ws:2005:04:discovery"):
        w = Writer(self.opts.ns_variant)
        h = w.add_header()
        w.el(h, WSA, "MessageID", f"urn:uuid:{uuidlib.uuid4()}")
        if relates_to:
            w.el(h, WSA, "RelatesTo", relates_to)
        w.el(h, WSA, "To", to)
        w.el(h, WSA, "Action", f"{WSD}/{action}")
        with self.lock:
            self.message_number += 1
            n = self.message_number
        w.el(h, WSD, "AppSequence", attrs={"InstanceId": self.instance, "MessageNumber": n})
        return w

    def _describe(self, w, parent, cam, with_details=True):
        epr = w.el(parent, WSA, "EndpointReference")
        w.el(epr, WSA, "Address", cam.uuid)
        if with_details:
            w.el(parent, WSD, "Types", TYPES, qname_prefixes=[DN, TDS])
            w.el(parent, WSD, "Scopes", " ".join(cam.scopes()))
            w.el(parent, WSD, "XAddrs", cam.device_url(self.opts.announce_host))
        w.el(parent, WSD, "MetadataVersion", cam.metadata_version)

    def hello(self, cam):
        if self.opts.no_discovery:
            return
        w = self._envelope("Hello")
        self._describe(w, w.el(w.body, WSD, "Hello"), cam)
        self._send(cam, w.bytes(), (GROUP, PORT))
        self.opts.log(f"hello {cam.uuid} {cam.address}")

    def bye(self, cam):
        if self.opts.no_discovery:
            return
        w = self._envelope("Bye")
        self._describe(w, w.el(w.body, WSD, "Bye"), cam, with_details=False)
        self._send(cam, w.bytes(), (GROUP, PORT))

    def _probe_match(self, cam, relates_to):
        w = self._envelope("ProbeMatches", relates_to, ANONYMOUS)
        # Older firmware of several makers leaves out the ProbeMatches list.
        parent = w.body if self.opts.bare_probe_match else w.el(w.body, WSD, "ProbeMatches")
        pm = w.el(parent, WSD, "ProbeMatch")
        self._describe(w, pm, cam)
        return w.bytes()

    # -- receiving ----------------------------------------------------------
    def _on_datagram(self, data, sender, dest=None):
        try:
            env = etree.fromstring(data, etree.XMLParser(resolve_entities=False, no_network=True, huge_tree=False))
        except etree.XMLSyntaxError:
            return
        probe = env.find(f"{{{SOAP}}}Body/{{{WSD}}}Probe")
        if probe is None:
            return
        mid = env.findtext(f"{{{SOAP}}}Header/{{{WSA}}}MessageID")
        types = probe.find(f"{{{WSD}}}Types")
        scopes = (probe.findtext(f"{{{WSD}}}Scopes") or "").split()
        wanted = _qnames(types) if types is not None else set()
        known = {(DN, "NetworkVideoTransmitter"), (TDS, "Device")}
        if wanted and not wanted & known:
            return
        if self.opts.no_discovery:
            self.opts.log(f"probe from {sender[0]}:{sender[1]} ignored (discovery off)")
            return
        n = 0
        unicast = dest is not None and dest != GROUP
        for cam in self.cameras:
            if unicast and cam.address != dest:
                continue
            if cam.rebooting or not all(any(s.startswith(q) for s in cam.scopes()) for q in scopes):
                continue
            # A random wait before answering, as WS-Discovery asks, so that
            # many cameras do not answer in one burst.
            delay = random.uniform(0, self.opts.probe_delay_ms / 1000.0)
            self.schedule(delay, cam, self._probe_match(cam, mid), sender)
            n += 1
        self.opts.log(f"probe from {sender[0]}:{sender[1]} answered by {n}")

    def run(self):
        for cam in self.cameras:
            self.hello(cam)
        while not self.stopping:
            with self.lock:
                timeout = max(0.0, self.queue[0][0] - time.monotonic()) if self.queue else 1.0
            ready, _, _ = select.select([self.listener, self.wake_r], [], [], timeout)
            if self.listener in ready:
                data, ancillary, _, sender = self.listener.recvmsg(MAX_DATAGRAM, 256)
                self._on_datagram(data, sender, _destination(ancillary))
            if self.wake_r in ready:
                self.wake_r.recv(4096)
            now = time.monotonic()
            while True:
                with self.lock:
                    if not self.queue or self.queue[0][0] > now:
                        break
                    _, _, cam, data, dest = heapq.heappop(self.queue)
                self._send(cam, data, dest)

    def stop(self):
        self.stopping = True
        self.wake_w.send(b"x")
        for cam in self.cameras:
            self.bye(cam)


def _destination(ancillary):
    """The address a datagram was sent to, from its IP_PKTINFO."""
    for level, kind, data in ancillary:
        if level == socket.IPPROTO_IP and kind == IP_PKTINFO and len(data) >= 12:
            return socket.inet_ntoa(data[8:12])
    return None


def _qnames(elem):
    """The QNames in an element's text, resolved in its own scope."""
    out = set()
    for word in (elem.text or "").split():
        prefix, _, local = word.rpartition(":")
        out.add((elem.nsmap.get(prefix or None), local))
    return out
