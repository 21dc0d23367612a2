#!/usr/bin/env bash
# N emulated ONVIF cameras (one emulator process, N addresses on one card,
# each answering after the random wait WS-Discovery asks for) answering one
# search: `orvanta-cli discover --kind onvif` as an ordinary user, then
# Debian's onvif-util -a on an office PC of the same switch. Prints how many
# cameras each found and, from a capture on the PC's card, how long after
# the first probe left the last camera's first answer came in. A benchmark: figures, no asserts.
# Needs root (for the namespaces).
#
# usage: bench/onvif_discovery_lab.sh [BIN_DIR] [CAMERAS] [MAX_DELAY_MS] [SECONDS]
#        (default 200 cameras, answers spread over up to 500 ms, a 3 s search)
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=../tests/net/lib/lab.sh
. "$here/../tests/net/lib/lab.sh"
bin="${1:-${ORVANTA_BIN_DIR:-$here/../build/bin}}"
n="${2:-200}"
delay="${3:-500}"
seconds="${4:-3}"
sim="$here/../tools/onvifsim/onvifsim"
[ "$n" -ge 1 ] && [ "$n" -le 4000 ] || { echo "CAMERAS: 1 to 4000" >&2; exit 2; }

lab_init ovod
lab_tmpdir
lab_add_pc 10.99.0.1/16
lab_add_camera grp 10.99.0.2/16
lab_add_camera office 10.99.0.3/16
ip -n "$(lab_ns office)" route add default dev eth0   # onvif-util searches only along a route
lab_start_bg grp "$LAB_TMP/grp.log" "$sim" --address 10.99.1.1/16 \
    --count "$n" --probe-delay-ms "$delay" --uuid urn:uuid:7a000000-0000-4000-8000-000000000001
lab_wait_port grp udp 3702 30 && lab_wait_port grp tcp 80 30 || { echo "the emulator did not start" >&2; cat "$LAB_TMP/grp.log" >&2; exit 1; }
sleep 1   # its Hellos are not what is measured

# A capture on the PC's card: when the probe left, when each answer came.
capture() {
    /usr/bin/python3 - "$1" <<'PY'
import socket, struct, sys, time
end = time.monotonic() + float(sys.argv[1])
ETH_P_ALL, ETH_P_IP = 3, 0x0800
s = socket.socket(socket.AF_PACKET, socket.SOCK_DGRAM, socket.htons(ETH_P_ALL))
s.bind(("eth0", ETH_P_ALL))
s.settimeout(0.2)
print("capture: ready", flush=True)
sent, last, senders = None, None, set()
while time.monotonic() < end:
    try:
        pkt, addr = s.recvfrom(65535)
    except socket.timeout:
        continue
    now = time.monotonic()
    if addr[1] != ETH_P_IP or pkt[9] != 17:
        continue
    ihl = (pkt[0] & 15) * 4
    src, dst = socket.inet_ntoa(pkt[12:16]), socket.inet_ntoa(pkt[16:20])
    sport, dport = struct.unpack("!HH", pkt[ihl:ihl + 4])
    if dst == "239.255.255.250" and dport == 3702 and addr[2] == socket.PACKET_OUTGOING:
        sent = sent or now
    elif sent and addr[2] != socket.PACKET_OUTGOING and dst == "10.99.0.1" and src.startswith("10.99.1."):
        # The search repeats its probe: a camera counts from its first answer.
        if src not in senders:
            last = now
            senders.add(src)
if sent is None:
    print("capture: no probe seen")
else:
    print(f"capture: {len(senders)} camera(s) answered; the last of them first answered {((last or sent) - sent) * 1000:.0f} ms after the first probe")
PY
}

echo "$n ONVIF cameras, answers spread over up to $delay ms"
lab_start_bg pc "$LAB_TMP/cap.log" bash -c "$(declare -f capture); capture $((seconds + 2))"
cap=$LAB_LAST_PID
for _ in $(seq 1 100); do grep -q 'capture: ready' "$LAB_TMP/cap.log" 2>/dev/null && break; sleep 0.1; done
start=$(date +%s.%N)
lab_exec_user pc "$bin/orvanta-cli" discover --kind onvif --seconds "$seconds" --format json >"$LAB_TMP/found.json" 2>"$LAB_TMP/found.err"
rc=$?
wall="$(echo "$(date +%s.%N) - $start" | bc)"
wait "$cap" 2>/dev/null
found="$(/usr/bin/python3 -c 'import json,sys; print(len({r["uuid"] for r in json.load(open(sys.argv[1])) if r.get("kind") == "onvif"}))' "$LAB_TMP/found.json" 2>/dev/null || echo "?")"
printf 'orvanta-cli discover --kind onvif (ordinary user, --seconds %s): exit %s, %s of %s found, %.2f s wall\n' "$seconds" "$rc" "$found" "$n" "$wall"
grep -v 'capture: ready' "$LAB_TMP/cap.log" | sed 's/^/  /'
[ "$rc" = 0 ] || head -n 3 "$LAB_TMP/found.err" | sed 's/^/  stderr: /'

if command -v onvif-util >/dev/null; then
    # onvif-util asks every camera it found for its name afterwards; the
    # count it prints first is what its search found.
    start=$(date +%s.%N)
    lab_exec office timeout 120 stdbuf -oL onvif-util -a >"$LAB_TMP/util.out" 2>&1
    urc=$?
    wall="$(echo "$(date +%s.%N) - $start" | bc)"
    printf 'onvif-util -a (office PC with a default route): %s, %s names listed, exit %s, %.2f s wall\n' \
        "$(grep -o 'Found [0-9]* cameras' "$LAB_TMP/util.out" || echo 'no count printed')" \
        "$(grep -c '^10\.99\.' "$LAB_TMP/util.out")" "$urc" "$wall"
else
    echo "onvif-util is not installed"
fi
echo "the emulator answered $(grep -c '^.* probe from' "$LAB_TMP/grp.log") probe(s)"
