#!/usr/bin/env bash
# ONVIF cameras beyond a router, as sites have them on their own VLANs: the
# PC reaches 10.96.8.0/22 only through a router namespace, and no multicast
# search crosses it. The range search finds 40 emulated cameras there (four
# subnets of ten), one more with WS-Discovery turned off (found on its
# device service port), lists each as routed through the PC's card, and
# adds no address and sends no ARP for them. Ranges that must not be
# searched are refused before anything is sent; the PC's own address and
# its router are left out of a range that holds them. A routed camera is
# read, set and set up from a plan like a local one. The figures (survey
# time, read time of a slow camera) are printed, never asserted.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"
# shellcheck source=lib/checks.sh
. "$here/lib/checks.sh"

lab_require_programs orvanta-cli orvanta-netadmin
lab_onvif_start ovr
T="$LAB_TMP"
failures=0
printf 'Lab pass 1\n' >"$T/pw"

# The PC on the office switch, its route to the cameras' network through
# the router (as a site's DHCP or admin would set it), no default route.
lab_new_pc
lab_pc_card eth0 main 10.96.0.1/24
lab_add_router gw main 10.96.0.254/24
lab__cable "$(lab_ns gw)" eth1 far || exit 1
ip -n "$(lab_ns gw)" addr add 10.96.8.1/22 dev eth1 || exit 1
ip -n "$LAB_PC" route add 10.96.8.0/22 via 10.96.0.254 dev eth0 || exit 1
# A second camera network behind the same router, for a device whose search
# answers come from another of its addresses than the one probed.
ip -n "$(lab_ns gw)" addr add 10.96.16.1/24 dev eth1 || exit 1
ip -n "$LAB_PC" route add 10.96.16.0/24 via 10.96.0.254 dev eth0 || exit 1

# name, first address, how many, HTTP port, the emulator's switches.
cat >"$T/cameras" <<'TABLE'
vlan8   10.96.8.10/22  10 80   -
vlan9   10.96.9.20/22  10 8080 -
vlan10  10.96.10.30/22 10 8899 -
vlan11  10.96.11.40/22 10 80   --reply-delay-ms 100
quiet   10.96.11.200/22 1 8080 --no-discovery
aside   10.96.16.10/24  1 80   --probe-answer-from 10.96.16.11
TABLE
n=0
declare -A port first
while read -r name address count http opts; do
    n=$((n + 1))
    [ "$opts" = - ] && opts=""
    lab_add_camera_on far "$name" "$address"
    case "$address" in 10.96.16.*) via=10.96.16.1 ;; *) via=10.96.8.1 ;; esac
    ip -n "$(lab_ns "$name")" route add default via "$via" || exit 1
    # shellcheck disable=SC2086
    lab_start_bg "$name" "$T/$name.log" "$sim" --address "$address" --count "$count" --port "$http" \
        --uuid "$(printf 'urn:uuid:7b5e0000-0000-4000-8000-%010d00' "$n")" --name "Cam $name" \
        --state "$T/$name.json" --password-file "$T/pw" --check-replies $opts
    port[$name]="$http" first[$name]="${address%/*}"
done <"$T/cameras"
for name in "${!port[@]}"; do
    lab_wait_port "$name" tcp "${port[$name]}" 15 || { echo "emulated camera $name did not start" >&2; exit 1; }
done

cli() { lab_exec pc "$bin/orvanta-cli" "$@"; }
json() {  # json EXPRESSION FILE: EXPRESSION over the JSON array `a`
    /usr/bin/python3 -c "import json,sys; a=json.load(open(sys.argv[2])); print(eval(sys.argv[1]))" "$1" "$2" \
        2>/dev/null || echo "<not JSON>"
}

# ---------------------------------------------------------------- refused before sending
for bad in "10.0.0.0/8:65536" "224.0.0.0/24:multicast" "127.0.0.0/30:loopback" "255.255.255.255:broadcast" \
    "10.96.8.0/22,10.96.300.0/24:10.96.300.0/24"; do
    range="${bad%:*}" word="${bad##*:}"
    cli discover --range "$range" >"$T/bad.out" 2>"$T/bad.err"
    rc=$?
    check "range $range refused by name before anything is sent (exit 2)" "2 1" \
        "$rc $(grep -c "discover: --range:.*$word" "$T/bad.err")"
done

# ---------------------------------------------------------------- the survey
addresses_before="$(ip -n "$LAB_PC" -4 -o addr show | wc -l)"
start=$(date +%s.%N)
cli discover --kind onvif --range 10.96.8.0/22 --format json >"$T/found.json" 2>"$T/found.err"
rc=$?
took=$(echo "$(date +%s.%N) - $start" | bc)
echo "figure: a routed /22 (1022 addresses, 41 devices) surveyed in ${took} s, $(json 'len(a)' "$T/found.json") found"
check "the range search ends well and finds the 40 cameras and the one without discovery" "0 41" \
    "$rc $(json 'len(a)' "$T/found.json")"
check "every row is routed, through the PC's card" "41 41" \
    "$(json 'sum(1 for d in a if d["routed"] == 1)' "$T/found.json") $(json 'sum(1 for d in a if d["interface"] == "eth0")' "$T/found.json")"
check "each device service is listed on its own port (the silent one found on 8080, reference unknown)" \
    "10 10 10 10 1" \
    "$(json 'sum(1 for d in a if ":8080/" not in d["xaddrs"] and ":8899/" not in d["xaddrs"] and d["address"].startswith("10.96.8."))' "$T/found.json") $(json 'sum(1 for d in a if ":8080/" in d["xaddrs"] and d["address"].startswith("10.96.9."))' "$T/found.json") $(json 'sum(1 for d in a if ":8899/" in d["xaddrs"])' "$T/found.json") $(json 'sum(1 for d in a if d["address"].startswith("10.96.11.4"))' "$T/found.json") $(json 'sum(1 for d in a if d["address"] == "10.96.11.200" and d["uuid"] == "" and d["xaddrs"] == "http://10.96.11.200:8080/onvif/device_service")' "$T/found.json")"
check "no address was added to the PC and no ARP went out for the routed cameras" "$addresses_before 0" \
    "$(ip -n "$LAB_PC" -4 -o addr show | wc -l) $(ip -n "$LAB_PC" neigh show to 10.96.8.0/22 | grep -c .)"
check "the probes came from the PC's own address, through the router" "0" \
    "$(cat "$T"/vlan*.log | grep 'probe from' | grep -vc 'probe from 10\.96\.0\.1:')"

# Text rows come as they are heard: the first is out while the survey still
# waits on the silent addresses of a second range.
lab_start_bg pc "$T/stream.out" "$bin/orvanta-cli" discover --range 10.96.8.10,10.96.12.0/24 --rate 200
stream_pid=$LAB_LAST_PID
sleep 1
check "text output prints a row while the survey is still running" "2 yes" \
    "$(grep -c . "$T/stream.out") $(kill -0 "$stream_pid" 2>/dev/null && echo yes || echo no)"
wait "$stream_pid" 2>/dev/null

# An answer counts for the address it came from: the probe to .10 is
# answered from .11, which is listed with the reference; .10 itself told
# nothing to the probe and is listed only by the port it answers on.
cli discover --range 10.96.16.8/29 --format json >"$T/aside.json" 2>"$T/aside.err"
check "a probe answered from another address: the reference is listed at the address that answered" \
    "0 10.96.16.11 no-reference" \
    "$? $(json '" ".join(d["address"] for d in a if d["uuid"])' "$T/aside.json") $(json '"no-reference" if [d["uuid"] for d in a if d["address"] == "10.96.16.10"] == [""] else a' "$T/aside.json")"

cli discover --range 10.96.0.0/24 --seconds 2 --format csv >"$T/own.csv" 2>"$T/own.err"
check "the PC's own address and its router are left out of a range that holds them" "0 yes" \
    "$? $(grep -q '2 addresses of the PC or its routers left out' "$T/own.err" && echo yes || cat "$T/own.err")"

# ---------------------------------------------------------------- read, set and plans
cred=(--user admin --password-file "$T/pw")
cli onvif read 10.96.8.10 "${cred[@]}" --format json >"$T/read.json" 2>"$T/read.err"
check "a routed camera is read like a local one" "0 10.96.8.10" \
    "$? $(/usr/bin/python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))[0]["ipv4"]["address"])' "$T/read.json" 2>/dev/null)"
# The slow camera's port is given, so the figure is the read alone.
times=()
for i in 1 2 3 4 5; do
    start=$(date +%s.%N)
    cli onvif read 10.96.11.40:80 "${cred[@]}" --format json >"$T/slow.json" 2>"$T/slow.err"
    rc=$?
    times+=("$(echo "$(date +%s.%N) - $start" | bc)")
done
echo "figure: onvif read of a camera that waits 100 ms before each reply (12 calls), five runs: ${times[*]} s"
check "a camera that waits before each reply is read whole, its two streams too" "0 2" \
    "$rc $(/usr/bin/python3 -c 'import json,sys; print(len(json.load(open(sys.argv[1]))[0]["stream_uris"]))' "$T/slow.json" 2>/dev/null)"
# The read's calls reuse the connections the camera keeps open: each
# connection leaves one TIME-WAIT behind, on whichever side closed it first.
cli onvif read 10.96.11.41:80 "${cred[@]}" --format json >"$T/reuse.json" 2>/dev/null
connections=$(( $(ip netns exec "$LAB_PC" ss -Htn state time-wait dst 10.96.11.41:80 | wc -l) +
                $(ip netns exec "$(lab_ns vlan11)" ss -Htn state time-wait src 10.96.11.41:80 | wc -l) ))
echo "figure: connections a read of 12 calls opened: $connections"
check "a read opens no more connections than it runs calls at once, plus the clock and its three open questions" \
    yes "$([ "$connections" -le 10 ] && echo yes || echo "no: $connections")"
cli onvif set 10.96.8.11 --hostname routed-set "${cred[@]}" >"$T/set.out" 2>"$T/set.err"
check "a routed camera is set and read back" "0 routed-set" \
    "$? $(/usr/bin/python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["cameras"][1]["hostname"])' "$T/vlan8.json" 2>/dev/null)"
{
    echo "kind,address,user,password,hostname"
    echo "onvif,10.96.9.21,admin,Lab pass 1,routed-plan"
} >"$T/plan.csv"
cli provision "$T/plan.csv" --search-seconds 1 --format json >"$T/plan.out" 2>"$T/plan.err"
check "a plan row names a routed address: set up" "0 routed-plan" \
    "$? $(/usr/bin/python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["cameras"][1]["hostname"])' "$T/vlan9.json" 2>/dev/null)"
check "still no address added and no ARP for the routed cameras" "$addresses_before 0" \
    "$(ip -n "$LAB_PC" -4 -o addr show | wc -l) $(ip -n "$LAB_PC" neigh show to 10.96.8.0/22 | grep -c .)"

check "every request from the PC matches the ONVIF schemas" 0 "$(cat "$T"/*.log | grep -c 'schema-invalid')"
lab_finish onvif-routed
