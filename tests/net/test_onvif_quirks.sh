#!/usr/bin/env bash
# ONVIF cameras as real firmware behaves, end to end in the lab: a camera
# that refuses GetEndpointReference to every user, one without
# GetNetworkInterfaces, a recorder that offers only Media2, and one that
# answers a search with a bare ProbeMatch. Each is read (or found) with
# what it does tell, the rest named as missing, and the exit status says
# whether the read was whole. Every request is checked against the ONVIF
# schemas by the emulator.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"
# shellcheck source=lib/checks.sh
. "$here/lib/checks.sh"

lab_require_programs orvanta-cli orvanta-netadmin
lab_onvif_start ovq
T="$LAB_TMP"
failures=0

lab_new_pc
lab_pc_card eth0 main 10.97.1.1/24
printf 'Lab pass 1\n' >"$T/pw"

# name, address, HTTP port, the emulator's switches.
cat >"$T/cameras" <<'TABLE'
noref  10.97.1.20/24 8899  --refuse-call GetEndpointReference
nonic  10.97.1.21/24 80    --no-call GetNetworkInterfaces --no-call GetDNS
media2 10.97.1.22/24 10000 --media2-only
bare   10.97.1.23/24 8080  --bare-probe-match
TABLE
n=0
declare -A uuid port addr
while read -r name address http opts; do
    n=$((n + 1))
    lab_add_camera_on main "$name" "$address"
    u="$(printf 'urn:uuid:7a5e0000-0000-4000-8000-%012d' "$n")"
    # shellcheck disable=SC2086
    lab_start_bg "$name" "$T/$name.log" "$sim" --uuid "$u" --name "Cam $name" --port "$http" \
        --password-file "$T/pw" --check-replies $opts
    uuid[$name]="$u" port[$name]="$http" addr[$name]="${address%/*}"
done <"$T/cameras"
# Something on the switch that answers every probe with what no reader
# can take (a half-written firmware, another protocol on the port).
lab_add_camera_on main junk 10.97.1.30/24
cat >"$T/junk.py" <<'PY'
import socket, struct
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("", 3702))
s.setsockopt(socket.IPPROTO_IP, socket.IP_ADD_MEMBERSHIP, struct.pack("4s4s", socket.inet_aton("239.255.255.250"),
                                                                      socket.inet_aton("10.97.1.30")))
while True:
    data, peer = s.recvfrom(65535)
    if b"Probe" in data and b"ProbeMatch" not in data:
        s.sendto(b"<Envelope><Body>not a ProbeMatch", peer)
PY
lab_start_bg junk "$T/junk.log" /usr/bin/python3 "$T/junk.py"
for name in "${!port[@]}"; do
    lab_wait_port "$name" tcp "${port[$name]}" 15 || { echo "emulated camera $name did not start" >&2; exit 1; }
done

py() {
    /usr/bin/python3 -c "import json,sys; o=json.load(open(sys.argv[2]))[0]; print(json.dumps(eval(sys.argv[1])))" \
        "$1" "$2" 2>/dev/null || echo "<not JSON>"
}
read_json() {  # read_json NAME: onvif read into $T/NAME.json, its exit status echoed
    lab_exec pc "$bin/orvanta-cli" onvif read "${addr[$1]}:${port[$1]}" --user admin --password-file "$T/pw" \
        --format json >"$T/$1.json" 2>"$T/$1.err"
    echo $?
}

check "a refused GetEndpointReference is no wrong password: read, uuid named missing, exit 5" \
    '5 "Labworks" ["uuid"]' "$(read_json noref) $(py 'o["manufacturer"]' "$T/noref.json") $(py 'o["missing"]' "$T/noref.json")"
check "no GetNetworkInterfaces or GetDNS: the rest printed, those named" \
    '5 "Labworks" ["mac", "ipv4", "dns"]' \
    "$(read_json nonic) $(py 'o["manufacturer"]' "$T/nonic.json") $(py 'o["missing"]' "$T/nonic.json")"
lab_exec pc "$bin/orvanta-cli" onvif read "${addr[nonic]}" --user admin --password-file "$T/pw" >"$T/nonic.txt" 2>/dev/null
check "the text form names what is missing in one line" "missing=mac ipv4 dns" "$(grep '^missing=' "$T/nonic.txt")"
check "a bare address is called on the port its own probe answer announces (8899), its uuid from that answer" \
    '0 []' "$(lab_exec pc "$bin/orvanta-cli" onvif read "${addr[noref]}" --user admin --password-file "$T/pw" \
        --format json >"$T/noref-bare.json" 2>/dev/null; echo $?) $(py 'o["missing"]' "$T/noref-bare.json")"
check "a Media2-only recorder gives its stream addresses through Media2, whole read" \
    '0 [] 2' "$(read_json media2) $(py 'o["missing"]' "$T/media2.json") $(py 'len([u for u in o["stream_uris"] if "/media2/" in u])' "$T/media2.json")"

lab_wait_port junk udp 3702 5
lab_exec pc "$bin/orvanta-cli" discover --kind onvif --seconds 2 --format json >"$T/found.json" 2>"$T/found.err"
check "a reply that cannot be read is counted on stderr without --verbose" \
    "yes" "$(grep -qxE "orvanta-cli discover: [0-9]+ repl(y|ies) on eth0 could not be read; --verbose shows them" "$T/found.err" && echo yes || cat "$T/found.err")"
check "a bare ProbeMatch is read: its camera is listed with the port it announced" \
    "1" "$(/usr/bin/python3 -c "import json,sys; print(sum(1 for c in json.load(open(sys.argv[1])) if c.get('uuid') == sys.argv[2] and ':8080/' in str(c.get('xaddrs'))))" "$T/found.json" "${uuid[bare]}" 2>/dev/null)"

check "every request from the PC matches the ONVIF schemas" 0 "$(cat "$T"/*.log | grep -c 'schema-invalid')"
check "the emulator's own replies match the schemas" 0 "$(cat "$T"/*.log | grep -c 'reply-invalid')"
lab_finish onvif-quirks
