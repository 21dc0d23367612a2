#!/usr/bin/env bash
# The host network in the lab: the real adapter reading, the temporary
# address alias (added, stepped past a duplicate, skipped in the PC's own
# subnet, kept inside the camera's private block, removed on close, on
# SIGINT/SIGTERM/SIGHUP, by the helper when the wizard is killed, and at the
# next start when both were), the free-address search and single probe, the
# helper's refusals, its limits and its clean-up when its input closes, what
# several helpers share (the limit, the ARP pace, who may remove an address,
# a killed helper's address, whichever copy of the program and pid namespace
# they run in) and what each leaves alone (another card's network, the PC's
# routes: a router's default route, a policy rule's table, the card's own
# subnet), every signal that ends it, the helper without its capabilities or
# its group, and the setcap script's refusals and the mode it sets.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"

lab_require_programs orvanta-netadmin orvanta-cli hostnet_prog
# The camera's web side: the simulated camera when it is built, else a
# plain web server.
if [ -x "$bin/orvanta-camsim" ]; then
    web=("$bin/orvanta-camsim" --no-discovery --http-port 80)
elif command -v python3 >/dev/null; then
    web=(python3 -m http.server 80 --bind 192.168.5.20)
else
    echo "neither orvanta-camsim nor python3 for the camera's web side; skipped" >&2
    exit 77
fi

lab_init ovh
lab_tmpdir
export ORVANTA_NETADMIN="$bin/orvanta-netadmin"
export XDG_RUNTIME_DIR="$LAB_TMP/run"
mkdir -p "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
state="$XDG_RUNTIME_DIR/orvanta/aliases"

cam_mac=02:00:00:00:05:14
lab_add_pc 192.168.1.10/24
lab_add_camera cam 192.168.5.20/24
lab_add_camera camlan 192.168.1.20/24
lab_add_camera d253 192.168.1.253/24
ip -n "$(lab_ns cam)" link set eth0 address "$cam_mac"
ip -n "$(lab_ns camlan)" link set eth0 address "$cam_mac"
lab_start_bg cam "$LAB_TMP/web.log" "${web[@]}"
lab_wait_port cam tcp 80 10 || { echo "camera web side did not start" >&2; cat "$LAB_TMP/web.log" >&2; exit 1; }

failures=0
check() {  # check NAME EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then
        echo "ok   $1"
    else
        echo "FAIL $1: expected [$2], got [$3]"
        failures=$((failures + 1))
    fi
}
# Every wait is bounded, so a fault shows as a failed check, never as a hang.
wait_for_line() {  # wait_for_line FILE PATTERN SECONDS
    local i
    for i in $(seq 1 $(($3 * 10))); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
    return 1
}
prog_pid() {  # prog_pid [COMM]: the hostnet_prog (or COMM) running in the PC namespace
    local p
    for p in $(ip netns pids "$LAB_PC"); do
        [ "$(cat /proc/"$p"/comm 2>/dev/null)" = "${1:-hostnet_prog}" ] && { echo "$p"; return 0; }
    done
    return 1
}
wait_gone() {  # wait_gone PID SECONDS: reaps PID, killing it if it overstays
    local i
    for i in $(seq 1 $(($2 * 10))); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$1" 2>/dev/null && echo "FAIL process $1 did not end in $2 s" && failures=$((failures + 1))
    { wait "$1"; } 2>/dev/null
}
ours() { ip -n "$LAB_PC" -4 route show | grep 'proto 79' | sed 's/ *$//' | tr '\n' '|'; }  # the helper's routes
pc_aliases() { ip -n "$LAB_PC" -4 -o addr show dev eth0 | awk '{print $4}' | grep -v '^192.168.1.10/24$' | tr '\n' ' '; }
wait_no_aliases() {  # wait_no_aliases SECONDS
    local i
    for i in $(seq 1 $(($1 * 10))); do [ -z "$(pc_aliases)" ] && return 0; sleep 0.1; done
    return 1
}
prog() { lab_exec pc "$bin/hostnet_prog" "$@"; }

# --- the adapter reading, against a gateway, a lease and a resolv.conf of ours
# An office PC: its default route leads through the router at .1.
lab_pc_default_via eth0 192.168.1.1
mkdir -p "$LAB_TMP/leases"
printf 'nameserver 192.168.1.53\nnameserver 192.168.1.54\n' >"$LAB_TMP/resolv.conf"
pc_index=$(ip netns exec "$LAB_PC" cat /sys/class/net/eth0/ifindex)
out=$(OVH_RESOLV="$LAB_TMP/resolv.conf" OVH_LEASES="$LAB_TMP/leases" prog inventory | tr '\n' ' ')
check "inventory, fixed address" \
    "HostIfIndex=$pc_index HostAdapterFound=1 HostWireless=0 HostDialUp=0 HostIP=192.168.1.10 HostMask=255.255.255.0 HostGateway=192.168.1.1 HostDNS=192.168.1.53 HostDHCP=0 HostNoAddress=0 " "$out"
printf 'ADDRESS=192.168.1.10\nSERVER_ADDRESS=192.168.1.1\n' >"$LAB_TMP/leases/$pc_index"
out=$(OVH_RESOLV="$LAB_TMP/resolv.conf" OVH_LEASES="$LAB_TMP/leases" prog inventory | grep -o 'HostDHCP=. HostNoAddress=.')
check "inventory, DHCP lease with server" "HostDHCP=1 HostNoAddress=0" "$out"
# A stale lease for another address does not make a fixed address DHCP.
printf 'ADDRESS=192.168.1.99\nSERVER_ADDRESS=192.168.1.1\n' >"$LAB_TMP/leases/$pc_index"
out=$(OVH_RESOLV="$LAB_TMP/resolv.conf" OVH_LEASES="$LAB_TMP/leases" prog inventory | grep -o 'HostDHCP=.')
check "inventory, stale lease ignored" "HostDHCP=0" "$out"
# The same PC cabled straight to the cameras, without a router: its address
# stands, with no gateway.
ip -n "$LAB_PC" route del default
rm -f "$LAB_TMP/leases/$pc_index"
out=$(OVH_RESOLV="$LAB_TMP/resolv.conf" OVH_LEASES="$LAB_TMP/leases" prog inventory | tr '\n' ' ' | grep -o 'HostIP=.*HostNoAddress=.')
check "inventory, no default route" \
    "HostIP=192.168.1.10 HostMask=255.255.255.0 HostGateway= HostDNS=192.168.1.53 HostDHCP=0 HostNoAddress=0" "$out"

# --- alias added; the camera's web side answers through it; SIGTERM removes it
lab_start_bg pc "$LAB_TMP/hold-TERM.log" "$bin/hostnet_prog" ensure 192.168.5.20 255.255.255.0 --hold
hold=$LAB_LAST_PID
wait_for_line "$LAB_TMP/hold-TERM.log" '^alias' 15
check "alias .254 reported" "alias 192.168.5.254" "$(grep '^alias' "$LAB_TMP/hold-TERM.log")"
check "alias .254 on the PC" "192.168.5.254/24 " "$(pc_aliases)"
code=$(lab_exec pc curl -s -o /dev/null -w '%{http_code}' -m 5 http://192.168.5.20/)
check "camera web side answers" yes "$([ "${code:-000}" != 000 ] && echo yes || echo "no ($code)")"
check "alias recorded in the state file" "eth0 192.168.5.254/24" "$(cat "$state" 2>/dev/null)"
for sig in TERM INT HUP; do
    log="$LAB_TMP/hold-$sig.log"
    if [ "$sig" != TERM ]; then
        lab_start_bg pc "$log" "$bin/hostnet_prog" ensure 192.168.5.20 255.255.255.0 --hold
        hold=$LAB_LAST_PID
        wait_for_line "$log" '^alias' 15
    fi
    # The signal goes to the program inside the namespace (our child's child).
    pid=$(prog_pid) && kill -"$sig" "$pid"
    wait_gone "$hold" 15
    check "SIG$sig: cleaned up" "removed" "$(tail -1 "$log")"
    check "SIG$sig: alias removed" "" "$(pc_aliases)"
    check "SIG$sig: state file gone" "no" "$([ -e "$state" ] && echo yes || echo no)"
done

# --- normal close
out=$(prog ensure 192.168.5.20 255.255.255.0 | tr '\n' ' ')
check "normal close: added then removed" "alias 192.168.5.254 removed " "$out"
check "normal close: nothing left" "" "$(pc_aliases)"

# --- another device answers for .254: the alias is .253
lab_add_camera d254 192.168.5.254/24
lab_start_bg pc "$LAB_TMP/hold2.log" "$bin/hostnet_prog" ensure 192.168.5.20 255.255.255.0 --hold
hold=$LAB_LAST_PID
wait_for_line "$LAB_TMP/hold2.log" '^alias' 20
check "duplicate .254: alias .253" "alias 192.168.5.253" "$(grep '^alias' "$LAB_TMP/hold2.log")"
check "duplicate .254: only .253 on the PC" "192.168.5.253/24 " "$(pc_aliases)"

# --- SIGKILL of the wizard: its helper sees its input close and removes the
# alias; the record left behind names nothing the next start must remove
pid=$(prog_pid) && kill -KILL "$pid"
wait_gone "$hold" 15
wait_no_aliases 10
check "SIGKILL: the helper removed the alias" "" "$(pc_aliases)"
check "SIGKILL: next start finds it gone" "removed 0" "$(prog stale)"
check "SIGKILL: record forgotten" "no" "$([ -e "$state" ] && echo yes || echo no)"

# --- wizard and helper both killed: the next start removes the recorded alias
lab_start_bg pc "$LAB_TMP/hold3.log" "$bin/hostnet_prog" ensure 192.168.5.20 255.255.255.0 --hold
hold=$LAB_LAST_PID
wait_for_line "$LAB_TMP/hold3.log" '^alias' 20
hpid=$(prog_pid orvanta-netadmi) && kill -KILL "$hpid"
pid=$(prog_pid) && kill -KILL "$pid"
wait_gone "$hold" 15
check "both SIGKILLed: alias still there" "192.168.5.253/24 " "$(pc_aliases)"
check "both SIGKILLed: next start removes it" "removed 1" "$(prog stale)"
check "both SIGKILLed: nothing left" "" "$(pc_aliases)"

# --- a camera's mask never makes the PC route beyond the camera's private block
lab_start_bg pc "$LAB_TMP/hold-wide.log" "$bin/hostnet_prog" ensure 192.168.5.20 192.0.0.0 --hold
hold=$LAB_LAST_PID
wait_for_line "$LAB_TMP/hold-wide.log" '^alias' 15
check "mask 192.0.0.0: alias in the camera's /16" "192.168.255.254/16 " "$(pc_aliases)"
check "mask 192.0.0.0: no route wider than /16" "" \
    "$(ip -n "$LAB_PC" -4 route show | awk '$1 ~ /\/([0-9]|1[0-5])$/')"
pid=$(prog_pid) && kill -TERM "$pid"
wait_gone "$hold" 15
out=$(prog ensure 198.51.100.20 255.255.255.0 2>"$LAB_TMP/public.err" | head -1)
check "public camera subnet: no alias" "alias none" "$out"
check "public camera subnet: one line says why" 1 "$(grep -c 'not a private' "$LAB_TMP/public.err")"

# --- camera in the PC's own subnet: nothing is added, whatever mask it reports
for mask in 255.255.255.0 0.0.0.0 255.0.0.0; do
    out=$(prog ensure 192.168.1.20 $mask | head -1)
    check "camera in PC subnet, mask $mask, adds nothing" "alias none|" "$out|$(ours)"
done

# --- free address and single probe
cli() { lab_exec pc "$bin/orvanta-cli" "$@"; }
check "free-ip: camera answers for itself" 192.168.1.20 \
    "$(cli free-ip --start 192.168.1.20 --source 192.168.1.10 --mask 255.255.255.0 --mac $cam_mac)"
check "free-ip: from the PC, .253 taken, .252 free" 192.168.1.252 \
    "$(cli free-ip --start 192.168.1.10 --source 192.168.1.10 --mask 255.255.255.0 --mac $cam_mac)"
check "probe: a device answers" "in use" "$(cli probe 192.168.1.253 --source 192.168.1.10)"
check "probe: nobody answers" "free" "$(cli probe 192.168.1.252 --source 192.168.1.10)"
check "probe: the PC's own address" "in use" "$(cli probe 192.168.1.10 --source 192.168.1.10)"

# --- the helper refuses what it must not do, one line each (card|request|answer)
ip -n "$LAB_PC" link add down0 type veth peer name down1  # left down
ip -n "$LAB_PC" tuntap add dev tun0 mode tun && ip -n "$LAB_PC" link set tun0 up
while IFS='|' read -r card request want; do
    got=$(printf '%s\n' "$request" | lab_exec pc "$bin/orvanta-netadmin" "$card")
    echo "     $card: $request -> $got"
    check "helper on $card: $request" "$want" "$(echo "$got" | cut -d' ' -f1-2)"
done <<'ROWS'
eth0|add eth0 192.168.5/24|err refused
eth0|add eth1 192.168.5.9/24|err refused
eth0|add eth0 fe80::1/64|err refused
eth0|del eth0 192.168.1.10/24|err refused
eth0|add  eth0 192.168.5.9/24|err refused
eth0|add eth0 192.168.5.9/24 x|err refused
eth0|probe eth0 192.168.5.9 99999|err refused
eth0|shutdown|err refused
eth0|arp eth0 192.168.1.253 192.168.1.1 1000|err refused
eth0|add eth0 198.51.100.8/32|err refused
eth0|add eth0 191.255.255.254/2|err refused
eth0|add eth0 172.16.0.5/8|err refused
eth0|add eth0 192.168.5.9/31|err refused
eth0|add eth0 192.168.1.20/24|err dup
eth0|add eth0 192.168.1.10/24|err exists
lo|add lo 10.1.1.1/24|err refused
down0|add down0 10.9.9.9/24|err refused
tun0|add tun0 10.9.9.9/24|err refused
ROWS
check "helper: PC address untouched" "192.168.1.10/24" "$(ip -n "$LAB_PC" -4 -o addr show dev eth0 | awk '{print $4}' | head -1)"

# --- one helper session: at most four aliases at once; a neighbour's address
# is never taken, so it can never be spoken for; the aliases go when the
# helper's input closes
mkfifo "$LAB_TMP/session.in"
lab_exec pc "$bin/orvanta-netadmin" eth0 <"$LAB_TMP/session.in" >"$LAB_TMP/session.out" &
session=$!
exec 7>"$LAB_TMP/session.in"
printf '%s\n' "add eth0 192.168.7.1/24" "add eth0 192.168.7.2/24" "add eth0 10.7.0.1/16" "add eth0 172.16.7.1/24" \
    "add eth0 192.168.8.1/24" "del eth0 192.168.7.2/24" "add eth0 192.168.1.20/24" \
    "arp eth0 192.168.1.253 192.168.1.20 1000" "probe eth0 192.168.7.99 1" >&7
wait_for_line "$LAB_TMP/session.out" '^free' 20
check "session: four added, the fifth refused, one removed, a neighbour's address refused" \
    "ok ok ok ok err refused ok err dup err refused free " "$(cut -d' ' -f1-2 "$LAB_TMP/session.out" | tr '\n' ' ')"
check "session: its aliases on the PC" "10.7.0.1/16 172.16.7.1/24 192.168.7.1/24 " "$(pc_aliases | tr ' ' '\n' | sort | tr '\n' ' ')"
exec 7>&-
wait_gone "$session" 10
check "session: input closed, its aliases removed" "" "$(pc_aliases)"
start=$(date +%s%N)
printf 'probe eth0 192.168.9.9 1\n%.0s' $(seq 30) | lab_exec pc "$bin/orvanta-netadmin" eth0 >/dev/null
ms=$(( ($(date +%s%N) - start) / 1000000 ))
check "helper paces ARP: 30 probes take 2 s or more" yes "$([ "$ms" -ge 1900 ] && echo yes || echo "no (${ms} ms)")"

# --- what several helpers share, and what each leaves alone
ask() {  # ask FD OUT REQUEST: one request to an open helper, its answer line
    local before i; before=$(wc -l <"$2")
    printf '%s\n' "$3" >&"$1"
    for i in $(seq 1 150); do [ "$(wc -l <"$2")" -gt "$before" ] && break; sleep 0.1; done
    sed -n "$((before + 1))p" "$2"
}
cap_user() {  # cap_user UID: sets capuser to the prefix that runs a command as UID with only the two capabilities
    capuser=(setpriv --reuid="$1" --regid="$1" --clear-groups --inh-caps +net_admin,+net_raw
        --ambient-caps +net_admin,+net_raw env)
}
helper_answers() {  # helper_answers [PREFIX...] < requests: a fresh helper's answers, one per line
    local helper="$bin/orvanta-netadmin"
    [ $# -gt 0 ] && helper="$(lab_user_copy "$helper")"   # PREFIX makes another user
    lab_exec pc "$@" "$helper" eth0
}
# A Wi-Fi card in another network, a route through it, and a VPN-style route
# for all of 10/8 through the LAN's router.
ip -n "$LAB_PC" link add wlan0 type veth peer name wlan0p
ip -n "$LAB_PC" addr add 192.168.7.10/24 dev wlan0
ip -n "$LAB_PC" link set wlan0 up && ip -n "$LAB_PC" link set wlan0p up
ip -n "$LAB_PC" route add 172.20.0.0/16 dev wlan0
ip -n "$LAB_PC" route add 10.0.0.0/8 via 192.168.1.1 dev eth0 metric 50
mkfifo "$LAB_TMP/shared.in"
lab_exec pc "$bin/orvanta-netadmin" eth0 <"$LAB_TMP/shared.in" >"$LAB_TMP/shared.out" &
shared=$!
exec 8>"$LAB_TMP/shared.in"
while IFS='|' read -r request want; do
    got=$(ask 8 "$LAB_TMP/shared.out" "$request")
    echo "     $request -> $got"
    check "helper beside wlan0: $request" "$want" "$got"
done <<'ROWS'
add eth0 192.168.7.1/24|err refused 192.168.7.0/24 is the network of wlan0; reaching a camera there would disturb it
add eth0 192.168.0.1/16|err refused 192.168.7.0/24 is the network of wlan0; reaching a camera there would disturb it
add eth0 172.20.9.1/24|err refused 172.20.0.0/16 is routed through wlan0; reaching a camera there would disturb it
add eth0 10.255.255.254/8 10.0.0.50|ok
add eth0 192.168.9.1/24 192.168.9.20|ok
ROWS
routes() { ip -n "$LAB_PC" -4 route show "$@" | sed 's/ *$//' | tr '\n' '|'; }
check "10/8 keeps its route; only the camera goes to eth0" \
    "10.0.0.0/8 via 192.168.1.1 dev eth0 metric 50|10.0.0.50 dev eth0 proto 79 scope link src 10.255.255.254 metric 20000|" \
    "$(routes | tr '|' '\n' | grep '^10\.' | tr '\n' '|')"
check "a subnet nobody routes gets a route of its own" \
    "192.168.9.0/24 dev eth0 proto 79 scope link src 192.168.9.1 metric 20000|" "$(routes 192.168.9.0/24)"
check "removing the address removes its route" "ok|" "$(ask 8 "$LAB_TMP/shared.out" "del eth0 192.168.9.1/24")|$(routes 192.168.9.0/24)"
exec 8>&-
wait_gone "$shared" 10
check "input closed: the address and its host route gone" "|" "$(pc_aliases)|$(routes proto 79)"
ip -n "$LAB_PC" route del 10.0.0.0/8
ip -n "$LAB_PC" link del wlan0

# --- the routes the PC relies on lead where they led: an office PC whose
# default route goes through the router on eth0 gets no subnet route that
# would take the router's traffic to the LAN, and a camera in eth0's own
# subnet keeps its connected route whatever address is asked for beside it
route_get() { ip -n "$LAB_PC" -4 route get "$1" | head -1 | sed 's/ uid [0-9]*//; s/ *$//'; }
ip -n "$LAB_PC" route add default via 192.168.1.1 dev eth0
router_before=$(route_get 10.200.1.1)
mkfifo "$LAB_TMP/routes.in"
lab_exec pc "$bin/orvanta-netadmin" eth0 <"$LAB_TMP/routes.in" >"$LAB_TMP/routes.out" &
rsession=$!
exec 8>"$LAB_TMP/routes.in"
while IFS='|' read -r request want; do
    got="$(ask 8 "$LAB_TMP/routes.out" "$request")|$(ours)"
    got=${got%|}
    echo "     $request -> $got"
    check "default via the router: $request" "$want" "$got"
done <<'ROWS'
add eth0 10.0.0.5/8|ok
add eth0 172.16.255.254/16 172.16.0.20|ok|172.16.0.20 dev eth0 proto 79 scope link src 172.16.255.254 metric 20000
add eth0 172.16.255.254/16 172.16.0.21|ok|172.16.0.20 dev eth0 proto 79 scope link src 172.16.255.254 metric 20000|172.16.0.21 dev eth0 proto 79 scope link src 172.16.255.254 metric 20000
add eth0 172.16.255.254/16 172.16.0.21|ok|172.16.0.20 dev eth0 proto 79 scope link src 172.16.255.254 metric 20000|172.16.0.21 dev eth0 proto 79 scope link src 172.16.255.254 metric 20000
add eth0 192.168.255.254/16 192.168.1.253|ok|172.16.0.20 dev eth0 proto 79 scope link src 172.16.255.254 metric 20000|172.16.0.21 dev eth0 proto 79 scope link src 172.16.255.254 metric 20000
ROWS
check "10.200.1.1 still goes to the router" "$router_before" "$(route_get 10.200.1.1)"
check "a camera in eth0's own subnet keeps its connected route" "192.168.1.253 dev eth0 src 192.168.1.10" \
    "$(route_get 192.168.1.253)"
# A closed port answers with a reset, which only comes back on a working path.
check "and answers" yes "$(lab_exec pc timeout 3 bash -c 'exec 3<>/dev/tcp/192.168.1.253/80' 2>&1 | grep -q refused && echo yes)"
# A VPN's policy rule routes 10.50/16 through its own table (here through
# the router, so no other card is involved): the kernel's lookup sees it.
ip -n "$LAB_PC" route del default
ip -n "$LAB_PC" route add 10.50.0.0/16 via 192.168.1.1 dev eth0 table 100
ip -n "$LAB_PC" rule add to 10.50.0.0/16 lookup 100
vpn_before=$(route_get 10.50.3.99)
check "a policy rule's subnet: only the camera is routed" \
    "ok|10.50.3.20 dev eth0 proto 79 scope link src 10.50.3.254 metric 20000|" \
    "$(ask 8 "$LAB_TMP/routes.out" "add eth0 10.50.3.254/24 10.50.3.20")|$(ours | tr '|' '\n' | grep '^10\.50' | tr '\n' '|')"
check "the rest of it still goes where the rule says" "$vpn_before" "$(route_get 10.50.3.99)"
exec 8>&-
wait_gone "$rsession" 10
check "input closed: its addresses and camera routes gone" "|" "$(pc_aliases)|$(ours)"
ip -n "$LAB_PC" rule del to 10.50.0.0/16 lookup 100
ip -n "$LAB_PC" route flush table 100
# The wizard does not ask for an address the helper would refuse: with no
# helper at all, the one line is why, not that the helper is missing.
ip -n "$LAB_PC" addr add 192.168.7.10/24 dev down0
out=$(ORVANTA_NETADMIN=/nonexistent prog ensure 192.168.7.20 255.255.255.0 2>"$LAB_TMP/overlap.err" | head -1)
check "wizard: a camera in another card's network is refused before asking" \
    "alias none|orvanta: add 192.168.7.254/24 on eth0: 192.168.7.0/24 is the network of down0; reaching a camera there would disturb it|" \
    "$out|$(tr '\n' '|' <"$LAB_TMP/overlap.err")"
ip -n "$LAB_PC" addr del 192.168.7.10/24 dev down0

# Twenty helpers at once: the count and the add are one step over all of them.
racers=()
for i in $(seq 1 20); do
    ( printf 'add eth0 10.%d.0.1/16\n' "$i"; echo "$BASHPID" >"$LAB_TMP/race.$i.pid"; exec sleep 60 ) |
        helper_answers >"$LAB_TMP/race.$i.out" &
    racers+=($!)
done
for i in $(seq 1 200); do [ "$(cat "$LAB_TMP"/race.*.out | wc -l)" -ge 20 ] && break; sleep 0.1; done
check "20 helpers at once: 4 added, 16 refused, 4 held" "4 16 4" \
    "$(cat "$LAB_TMP"/race.*.out | grep -c '^ok$') $(cat "$LAB_TMP"/race.*.out | grep -c '^err refused already 4 ') $(pc_aliases | wc -w)"
kill $(cat "$LAB_TMP"/race.*.pid)
for p in "${racers[@]}"; do wait_gone "$p" 10; done
wait_no_aliases 10
check "20 helpers at once: all gone with their input" "" "$(pc_aliases)"

# Three helpers probing at once share one pace of ten frames a second.
start=$(date +%s%N)
probers=()
for i in 1 2 3; do
    printf 'probe eth0 192.168.9.9 1\n%.0s' $(seq 10) | helper_answers >/dev/null &
    probers+=($!)
done
for p in "${probers[@]}"; do wait_gone "$p" 15; done
ms=$(( ($(date +%s%N) - start) / 1000000 ))
check "three helpers, 30 probes, one pace: 2.5 s or more" yes "$([ "$ms" -ge 2500 ] && echo yes || echo "no (${ms} ms)")"

# Another user's address stays while its helper runs; root may remove it.
if command -v setpriv >/dev/null; then
    mkfifo "$LAB_TMP/owner.in"
    cap_user 65534
    lab_exec pc "${capuser[@]}" "$(lab_user_copy "$bin/orvanta-netadmin")" eth0 <"$LAB_TMP/owner.in" >"$LAB_TMP/owner.out" &
    owner=$!
    exec 8>"$LAB_TMP/owner.in"
    check "owner: nobody adds" ok "$(ask 8 "$LAB_TMP/owner.out" "add eth0 192.168.8.1/24")"
    check "owner: daemon may not remove nobody's address" \
        "err refused 192.168.8.1 was added for another user (uid 65534), whose orvanta-netadmin still runs" \
        "$(cap_user 1; echo 'del eth0 192.168.8.1/24' | helper_answers "${capuser[@]}")"
    check "owner: root may" ok "$(echo 'del eth0 192.168.8.1/24' | helper_answers)"
    exec 8>&-
    wait_gone "$owner" 10
fi
# Every signal that would end a helper by default ends it as a closed input
# does; a killed helper's address is removed by the next helper that adds one.
for sig in TERM HUP QUIT USR1 USR2 ALRM KILL; do
    mkfifo "$LAB_TMP/sig$sig.in"
    lab_exec pc "$bin/orvanta-netadmin" eth0 <"$LAB_TMP/sig$sig.in" >"$LAB_TMP/sig$sig.out" &
    sigpid=$!
    exec 8>"$LAB_TMP/sig$sig.in"
    ask 8 "$LAB_TMP/sig$sig.out" "add eth0 192.168.8.3/24" >/dev/null
    kill -"$sig" "$(prog_pid orvanta-netadmi)"
    wait_gone "$sigpid" 10
    exec 8>&-
    [ "$sig" = KILL ] && break
    check "SIG$sig to the helper: its address removed" "" "$(pc_aliases)"
done
check "SIGKILL to the helper: its address stays" "192.168.8.3/24 " "$(pc_aliases)"
check "the next add removes the killed helper's address" "ok|" \
    "$(printf 'add eth0 192.168.8.4/24\n' | helper_answers | tr '\n' '|')$(pc_aliases)"

# A helper is known alive by what it holds in the network namespace, not by
# its program file or its pid: another copy of the program (a package
# upgrade replaced the file, say) leaves a running helper's address alone,
# and so do helpers in other pid namespaces, where pids repeat.
mkdir -p "$LAB_TMP/copy"
cp "$bin/orvanta-netadmin" "$LAB_TMP/copy/"
mkfifo "$LAB_TMP/first.in"
lab_exec pc unshare -p -f "$bin/orvanta-netadmin" eth0 <"$LAB_TMP/first.in" >"$LAB_TMP/first.out" &
first=$!
exec 8>"$LAB_TMP/first.in"
check "first helper, in a pid namespace of its own, adds" ok "$(ask 8 "$LAB_TMP/first.out" "add eth0 192.168.8.5/24")"
check "a copy of the program adds beside it" "ok|192.168.8.5/24 " \
    "$(printf 'add eth0 192.168.8.6/24\n' | lab_exec pc "$LAB_TMP/copy/orvanta-netadmin" eth0 | tr '\n' '|')$(pc_aliases)"
check "so does a helper in another pid namespace" "ok|192.168.8.5/24 " \
    "$(printf 'add eth0 192.168.8.7/24\n' | lab_exec pc unshare -p -f "$bin/orvanta-netadmin" eth0 | tr '\n' '|')$(pc_aliases)"
if command -v setpriv >/dev/null; then
    cap_user 1
    check "another user's helper, itself pid 1 of a pid namespace, may not remove it" \
        "err refused 192.168.8.5 was added for another user (uid 0), whose orvanta-netadmin still runs|192.168.8.5/24 " \
        "$(echo 'del eth0 192.168.8.5/24' | lab_exec pc unshare -p -f "${capuser[@]}" "$(lab_user_copy "$bin/orvanta-netadmin")" eth0 | tr '\n' '|')$(pc_aliases)"
fi
exec 8>&-
wait_gone "$first" 10
check "the first helper's input closed: its address gone" "" "$(pc_aliases)"
# A helper killed as pid 1 of its pid namespace leaves an address numbered
# 1; the next helper there is pid 1 too and may take the number, but not the
# address for its own.
mkfifo "$LAB_TMP/killed.in"
lab_exec pc unshare -p -f "$bin/orvanta-netadmin" eth0 <"$LAB_TMP/killed.in" >"$LAB_TMP/killed.out" &
killed=$!
exec 8>"$LAB_TMP/killed.in"
ask 8 "$LAB_TMP/killed.out" "add eth0 192.168.8.8/24" >/dev/null
kill -KILL "$(prog_pid orvanta-netadmi)"
wait_gone "$killed" 10
exec 8>&-
check "a helper killed as pid 1: its address stays" "192.168.8.8/24 " "$(pc_aliases)"
check "the next pid 1 removes it rather than taking it for its own" "ok|" \
    "$(printf 'add eth0 192.168.8.9/24\n' | lab_exec pc unshare -p -f "$bin/orvanta-netadmin" eth0 | tr '\n' '|')$(pc_aliases)"

# --- every address added and removed goes to the system log with the user
# id of whoever ran the helper (an ordinary user holding just the two
# capabilities); the log is a /dev/log of our own in a private mount namespace
if command -v python3 >/dev/null && command -v setpriv >/dev/null; then
    cat >"$LAB_TMP/syslog.py" <<'PY'
import os, socket, sys
s = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
s.bind("/dev/log")
os.chmod("/dev/log", 0o666)
with open(sys.argv[1], "a") as out:
    open(sys.argv[1] + ".ready", "w").close()
    while True:
        out.write(s.recv(4096).decode(errors="replace") + "\n")
        out.flush()
PY
    lab_exec pc unshare --mount --propagation private bash -c '
        mount -t tmpfs tmpfs /dev
        python3 "$1/syslog.py" "$1/syslog.txt" & listener=$!
        for i in $(seq 50); do [ -e "$1/syslog.txt.ready" ] && break; sleep 0.1; done
        printf "add eth0 192.168.7.1/24\n" | setpriv --reuid=nobody --regid=nogroup --clear-groups \
            --inh-caps +net_admin,+net_raw --ambient-caps +net_admin,+net_raw env "$2" eth0 >/dev/null
        sleep 0.3
        kill $listener' _ "$LAB_TMP" "$(lab_user_copy "$bin/orvanta-netadmin")"
    check "syslog: each address added and removed, with the caller's uid" \
        "uid 65534 added 192.168.7.1/24 on eth0|uid 65534 removed 192.168.7.1/24 on eth0|" \
        "$(sed -n 's/.*orvanta-netadmin\[[0-9]*\]: //p' "$LAB_TMP/syslog.txt" 2>/dev/null | tr '\n' '|')"
    check "syslog: nothing left" "" "$(pc_aliases)"
fi

# --- without the capabilities: at once, with one line naming the capability
if command -v capsh >/dev/null; then
    start=$(date +%s%N)
    lab_exec pc capsh --drop=cap_net_admin,cap_net_raw -- -c \
        "'$bin/hostnet_prog' ensure 192.168.5.20 255.255.255.0" >"$LAB_TMP/nocap.out" 2>"$LAB_TMP/nocap.err"
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    check "no capability: no alias" "alias none" "$(head -1 "$LAB_TMP/nocap.out")"
    check "no capability: one diagnostic line" 1 "$(grep -c 'CAP_NET_ADMIN missing' "$LAB_TMP/nocap.err")"
    check "no capability: at once" yes "$([ "$ms" -lt 2000 ] && echo yes || echo "no (${ms} ms)")"
    cat "$LAB_TMP/nocap.err"
    # The free-address search that cannot probe prints no address: exit 1, one line why.
    lab_exec pc capsh --drop=cap_net_admin,cap_net_raw -- -c "'$bin/orvanta-cli' free-ip --start 192.168.1.20 \
        --source 192.168.1.10 --mask 255.255.255.0 --mac $cam_mac" >"$LAB_TMP/nocap-cli.out" 2>"$LAB_TMP/nocap-cli.err"
    rc=$?
    check "no capability: free-ip fails" "1 0 1" \
        "$rc $(wc -c <"$LAB_TMP/nocap-cli.out") $(grep -c 'could not probe' "$LAB_TMP/nocap-cli.err")"
fi

# --- the model it is built for: the wizard as an ordinary user, only the
# helper with file capabilities (skipped where the scratch folder ignores them)
if command -v setpriv >/dev/null && command -v setcap >/dev/null &&
    ! findmnt -no OPTIONS -T "$LAB_TMP" | grep -qw nosuid; then
    mkdir -p "$LAB_TMP/user/run"
    cp "$bin/orvanta-netadmin" "$bin/hostnet_prog" "$LAB_TMP/user/"
    chmod 755 "$LAB_TMP" "$LAB_TMP/user" "$LAB_TMP/user/orvanta-netadmin" "$LAB_TMP/user/hostnet_prog"
    chown nobody "$LAB_TMP/user/run"
    as_user() {
        lab_exec pc setpriv --reuid=nobody --regid=nogroup --clear-groups \
            env XDG_RUNTIME_DIR="$LAB_TMP/user/run" ORVANTA_NETADMIN="$LAB_TMP/user/orvanta-netadmin" \
            ASAN_OPTIONS="$ASAN_OPTIONS" "$LAB_TMP/user/hostnet_prog" "$@"
    }
    "$ORVANTA_SOURCE_DIR/packaging/setcap-netadmin.sh" --group orvanta-lab-none "$LAB_TMP/user/orvanta-netadmin" \
        >/dev/null 2>"$LAB_TMP/setcap.err"
    check "setcap script without the group: refused, with the command that makes it" "1 none 1 755" \
        "$? $(getcap "$LAB_TMP/user/orvanta-netadmin" | grep -q cap_net && echo some || echo none) $(grep -c 'addgroup --system orvanta-lab-none' "$LAB_TMP/setcap.err") $(stat -c %a "$LAB_TMP/user/orvanta-netadmin")"
    "$ORVANTA_SOURCE_DIR/packaging/setcap-netadmin.sh" --group nogroup "$LAB_TMP/user/orvanta-netadmin" >/dev/null
    check "setcap script: the helper is root:nogroup 0750" "root:nogroup 750" \
        "$(stat -c '%U:%G %a' "$LAB_TMP/user/orvanta-netadmin")"
    check "ordinary user with the helper's capabilities (.254 taken)" "alias 192.168.5.253 removed " \
        "$(as_user ensure 192.168.5.20 255.255.255.0 2>&1 | tr '\n' ' ')"
    "$ORVANTA_SOURCE_DIR/packaging/setcap-netadmin.sh" --remove "$LAB_TMP/user/orvanta-netadmin" >/dev/null
    check "ordinary user, capabilities taken away" "alias none" \
        "$(as_user ensure 192.168.5.20 255.255.255.0 2>/dev/null | head -1)"
    # Installed for a group the user is not in: the one line says how to join.
    chgrp root "$LAB_TMP/user/orvanta-netadmin" && chmod 750 "$LAB_TMP/user/orvanta-netadmin"
    check "user outside the helper's group is told to join it" 1 \
        "$(as_user ensure 192.168.5.20 255.255.255.0 2>&1 | grep -c 'adduser nobody root')"
    check "user outside the helper's group cannot run it directly" 126 \
        "$(lab_exec_user pc "$LAB_TMP/user/orvanta-netadmin" eth0 </dev/null >/dev/null 2>&1; echo $?)"
fi

# --- setcap-netadmin.sh refuses a helper that someone else could swap
if command -v setcap >/dev/null; then
    mkdir -p "$LAB_TMP/open/sub" "$LAB_TMP/theirs"
    chmod 777 "$LAB_TMP/open"
    chown nobody "$LAB_TMP/theirs"
    for place in open/sub theirs; do
        cp "$bin/orvanta-netadmin" "$LAB_TMP/$place/"
        "$ORVANTA_SOURCE_DIR/packaging/setcap-netadmin.sh" "$LAB_TMP/$place/orvanta-netadmin" >/dev/null 2>&1
        check "setcap script refuses a helper below $place" "1 none" \
            "$? $(getcap "$LAB_TMP/$place/orvanta-netadmin" | grep -q cap_net && echo some || echo none)"
    done
fi

check "no alias left at the end" "" "$(pc_aliases)"
[ "$failures" = 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all host network checks passed"
