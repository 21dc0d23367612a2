"""The camera's one card inside its namespace: its addresses and hardware
address, changed with ip(8) as a camera's firmware would change its own."""
import ipaddress
import socket
import struct
import subprocess


def addresses(iface):
    """The card's IPv4 addresses as [(address, prefix)], primary first."""
    out = subprocess.run(["ip", "-4", "-o", "addr", "show", "dev", iface],
                         capture_output=True, text=True, check=True).stdout
    found = []
    for line in out.splitlines():
        words = line.split()
        if "inet" in words:
            a, p = words[words.index("inet") + 1].split("/")
            found.append((a, int(p)))
    return found


def mac(iface):
    try:
        with open(f"/sys/class/net/{iface}/address") as f:
            return f.read().strip()
    except OSError:
        return "00:00:00:00:00:00"


def index(iface):
    return socket.if_nametoindex(iface)


def keep_secondaries(iface):
    """Removing the first address of a subnet would otherwise take every
    other address in it along (many emulated cameras share one card)."""
    for key in (f"net.ipv4.conf.{iface}.promote_secondaries", "net.ipv4.conf.all.promote_secondaries"):
        subprocess.run(["sysctl", "-qw", f"{key}=1"], capture_output=True)


def add(iface, address, prefix):
    r = subprocess.run(["ip", "addr", "add", f"{address}/{prefix}", "dev", iface], capture_output=True, text=True)
    if r.returncode != 0 and "File exists" not in r.stderr:
        raise OSError(r.stderr.strip())


def remove(iface, address, prefix):
    subprocess.run(["ip", "addr", "del", f"{address}/{prefix}", "dev", iface], capture_output=True)


def move(iface, old, new):
    """(address, prefix) old -> new: the new one first, so that the card is
    never without an address."""
    if old == new:
        return
    add(iface, *new)
    remove(iface, *old)


def consecutive(first, count):
    base = int(ipaddress.IPv4Address(first))
    return [str(ipaddress.IPv4Address(base + i)) for i in range(count)]


def mreqn(group, ifindex):
    return struct.pack("=4s4si", socket.inet_aton(group), socket.inet_aton("0.0.0.0"), ifindex)
