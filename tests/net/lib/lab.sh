# shellcheck shell=bash
# The network test lab: a private switch and one network namespace per
# machine, so that nothing a test sends ever reaches the host's interfaces.
#
# Source it from a test script, then:
#
#   lab_require_programs PROG...
#       Sets `bin` to ORVANTA_BIN_DIR and fails the test (exit 1) when that
#       is unset or one of the programs is not built there.
#   lab_init PREFIX
#       Exits 77 (skipped) unless run as root with a working `ip netns`.
#       Names everything "PREFIX-<pid>-...": the switch namespace ("-sw")
#       holding the bridge "PREFIXbr", the PC namespace ("-pc"), one
#       namespace per camera ("-cam-NAME"). Registers lab_cleanup on EXIT,
#       INT and TERM, so the lab goes away also when a test fails or is
#       interrupted. The bridge lives in its own namespace, never in the
#       host's. ORVANTA_LAB_PREFIX, when set, is put in front of PREFIX, so
#       that one who runs the lab scripts beside others can keep every
#       namespace under a prefix of his own.
#   lab_add_pc ADDR/LEN [ADDR2/LEN ...]
#       Creates the PC namespace, cabled to the bridge as eth0 with these
#       addresses and no route beyond their subnets: a laptop cabled
#       straight to the cameras' switch. PCs with a gateway, more cards, a
#       bridge, a tunnel or DHCP are built with lab_new_pc and the
#       functions below.
#   lab_add_camera NAME ADDR/LEN [ADDR2/LEN ...]
#       The same for a camera namespace (no route either: the simulated
#       camera answers a search through the card it came in on). NAME:
#       letters, digits, '_'.
#   lab_add_camera_on SWITCH NAME ADDR/LEN [ADDR2/LEN ...]
#       A camera namespace cabled to switch SWITCH (as for lab_pc_card)
#       instead of the cameras' bridge.
#
# The PCs people really have (build the PC with lab_new_pc, then its cards
# in the order the kernel should number them; nothing here adds a route the
# PC would not have):
#   lab_new_pc           The PC namespace with loopback only.
#   lab_pc_card IF SWITCH [ADDR/LEN ...]
#       A wired card IF in the PC, cabled to the bridge SWITCH ("main" is
#       the cameras' bridge; any other name makes a second switch), with
#       these addresses and no route beyond its subnets.
#   lab_pc_default_via IF [GATEWAY]
#       The PC's default route: out of IF, through GATEWAY when given.
#   lab_pc_container_bridge BRIDGE ADDR/LEN
#       A bridge with a veth to a container namespace ("-ctr"), the way a
#       container engine or virtual-machine manager leaves a PC.
#   lab_pc_tun IF ADDR/LEN
#       A tun device, up, as a VPN client makes it (call lab_pc_default_via
#       IF for a VPN that takes the default route).
#   lab_add_router NAME SWITCH ADDR/LEN
#       A router namespace on SWITCH that forwards (the far end of a default
#       route); reachable as NAME like a camera.
#   lab_dhcp_server NAME SWITCH ADDR/LEN FIRST LAST [ROUTER]
#       A namespace on SWITCH running busybox udhcpd for FIRST..LAST.
#   lab_pc_dhcp IF SWITCH LEASEDIR
#       A card IF cabled to SWITCH that takes its address from the lab's
#       DHCP server with busybox udhcpc. Its script applies the lease as a
#       desktop's DHCP client does: address with the lease time, default
#       route through the router, and a networkd-style lease file (named by
#       the ifindex) in LEASEDIR. Returns 1 when no lease came.
#   lab_ppp_supported    True when this kernel has PPP (/dev/ppp can work).
#   lab_pc_ppp ISP LOCAL REMOTE
#       Two pppd joined by a pty pair: one in the PC (ppp0, LOCAL, taking the
#       default route), its peer in namespace ISP (REMOTE). Returns 1 when
#       ppp0 does not come up.
#   lab_add_empty NAME   A namespace with loopback only (a PC without any
#                        address), reachable as NAME like a camera.
#   lab_ns NAME          Prints the namespace of "pc", of a camera NAME, or
#                        of an already full namespace name.
#   lab_exec NS cmd...   Runs cmd inside namespace NS (as for lab_ns).
#   lab_exec_user NS cmd...
#                        The same as an ordinary user (nobody, no
#                        supplementary groups, no capabilities), as the
#                        wizard runs on a user's desktop. A cmd from the
#                        build tree ($bin/...) runs as a copy made by
#                        lab_user_copy.
#   lab_user_copy PROGRAM
#                        Prints the path of a copy of PROGRAM that every user
#                        may run, in a folder of LAB_TMP opened for them (made
#                        once a test). The build tree may lie where only its
#                        owner can enter (a home folder is 0700 on Debian 12,
#                        so is a private temporary folder); whatever a test
#                        runs as another user runs from such a copy.
#   lab_start_bg NS LOGFILE cmd...
#                        Starts cmd in the background inside NS, output to
#                        LOGFILE; its pid is left in LAB_LAST_PID and it is
#                        killed by lab_cleanup.
#   lab_stop PID         Stops one process started by lab_start_bg.
#   lab_wait_port NS udp|tcp PORT [SECONDS]
#                        Waits (default 5 s) until something listens on PORT
#                        inside NS; returns 1 on time-out.
#   lab_tmpdir           Creates a scratch directory, path in LAB_TMP,
#                        removed by lab_cleanup.
#   lab_stored CAMERA Key=value...
#                        Each line stands whole in $LAB_TMP/CAMERA.conf (the
#                        simulated camera's store); else prints "FAIL ..."
#                        and counts it in `failures`.
#   lab_sent CAMERA TEXT...
#                        Some line of $LAB_TMP/CAMERA.req (the camera's
#                        request log) carries each text; else as above.
#   lab_check NAME cmd...
#                        Runs cmd; prints "ok   NAME" or "FAIL NAME", the
#                        latter counted in `failures`.
#   lab_finish WHAT      After the checks: with failures, says how many, shows
#                        the end of every log in $LAB_TMP and exits 1; else
#                        prints "all WHAT lab checks passed".
#   lab_cleanup          Kills the background processes and deletes every
#                        namespace of this lab. Safe to call twice.
#
# Variables after lab_init: LAB_PREFIX, LAB_SW (switch namespace), LAB_BR
# (bridge), LAB_PC (PC namespace).

LAB_PIDS=()
LAB_NAMESPACES=()
LAB_PORTS=0
LAB_LAST_PID=
LAB_FG_PID=
LAB_CLEANED=0

lab_require_programs() {
    bin="${ORVANTA_BIN_DIR:?ORVANTA_BIN_DIR must name the built programs}"
    local p
    for p in "$@"; do
        [ -x "$bin/$p" ] || { echo "missing $bin/$p" >&2; exit 1; }
    done
}

lab_init() {
    local prefix="${ORVANTA_LAB_PREFIX:-}${1:?lab_init needs a prefix}"
    if [ "$(id -u)" != 0 ]; then
        echo "lab: needs root for network namespaces; skipped" >&2
        exit 77
    fi
    if ! command -v ip >/dev/null 2>&1 || ! ip netns list >/dev/null 2>&1; then
        echo "lab: ip netns is not available; skipped" >&2
        exit 77
    fi
    LAB_PREFIX="${prefix}-$$"
    LAB_SW="${LAB_PREFIX}-sw"
    LAB_PC="${LAB_PREFIX}-pc"
    LAB_BR="${prefix:0:12}br"
    trap 'lab__on_exit' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    if ! ip netns add "$LAB_SW" 2>/dev/null; then
        echo "lab: cannot create namespaces; skipped" >&2
        exit 77
    fi
    LAB_NAMESPACES+=("$LAB_SW")
    ip -n "$LAB_SW" link set lo up
    ip -n "$LAB_SW" link add "$LAB_BR" type bridge forward_delay 0 stp_state 0
    ip -n "$LAB_SW" link set "$LAB_BR" up
}

lab__on_exit() {
    local rc=$?
    lab_cleanup
    exit "$rc"
}

lab_ns() {
    case "$1" in
        pc) echo "$LAB_PC" ;;
        "$LAB_PREFIX"-*) echo "$1" ;;
        *) echo "${LAB_PREFIX}-cam-$1" ;;
    esac
}

# Creates namespace $1 and cables it to the bridge as eth0 with addresses $2...
lab__add_host() {
    local ns="$1"; shift
    ip netns add "$ns" || return 1
    LAB_NAMESPACES+=("$ns")
    LAB_PORTS=$((LAB_PORTS + 1))
    local port="p${LAB_PORTS}"
    ip -n "$LAB_SW" link add "$port" type veth peer name eth0 netns "$ns" || return 1
    ip -n "$LAB_SW" link set "$port" master "$LAB_BR" up || return 1
    ip netns exec "$ns" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 >/dev/null 2>&1 || true
    ip -n "$ns" link set lo up
    ip -n "$ns" link set eth0 up || return 1
    local a
    for a in "$@"; do
        ip -n "$ns" addr add "$a" dev eth0 || return 1
    done
}

lab_add_pc() {
    [ $# -ge 1 ] || { echo "lab_add_pc: needs an address" >&2; return 1; }
    lab__add_host "$LAB_PC" "$@"
}

lab_new_pc() {
    ip netns add "$LAB_PC" || return 1
    LAB_NAMESPACES+=("$LAB_PC")
    ip netns exec "$LAB_PC" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 >/dev/null 2>&1 || true
    ip -n "$LAB_PC" link set lo up
}

# The bridge of switch $1 in the switch namespace, made on first use.
lab__switch() {
    local name="$1" br="$LAB_BR"
    if [ "$name" != main ]; then
        br="${LAB_BR:0:9}-${name:0:5}"
        ip -n "$LAB_SW" link show "$br" >/dev/null 2>&1 ||
            { ip -n "$LAB_SW" link add "$br" type bridge forward_delay 0 stp_state 0 &&
              ip -n "$LAB_SW" link set "$br" up; } || return 1
    fi
    echo "$br"
}

# lab__cable NS IF SWITCH: a veth from the switch to namespace NS, named IF there.
lab__cable() {
    local ns="$1" ifname="$2" br
    br="$(lab__switch "$3")" || return 1
    LAB_PORTS=$((LAB_PORTS + 1))
    local port="p${LAB_PORTS}"
    ip -n "$LAB_SW" link add "$port" type veth peer name "$ifname" netns "$ns" || return 1
    ip -n "$LAB_SW" link set "$port" master "$br" up || return 1
    ip -n "$ns" link set "$ifname" up
}

lab_pc_card() {
    local ifname="$1" sw="$2" a; shift 2
    lab__cable "$LAB_PC" "$ifname" "$sw" || return 1
    for a in "$@"; do
        ip -n "$LAB_PC" addr add "$a" dev "$ifname" || return 1
    done
}

lab_pc_default_via() {
    if [ -n "${2:-}" ]; then
        ip -n "$LAB_PC" route add default via "$2" dev "$1"
    else
        ip -n "$LAB_PC" route add default dev "$1"
    fi
}

lab_pc_container_bridge() {
    local br="$1" addr="$2" ctr="${LAB_PREFIX}-ctr"
    ip -n "$LAB_PC" link add "$br" type bridge || return 1
    ip -n "$LAB_PC" addr add "$addr" dev "$br" || return 1
    ip -n "$LAB_PC" link set "$br" up
    ip netns add "$ctr" || return 1
    LAB_NAMESPACES+=("$ctr")
    ip -n "$LAB_PC" link add vethc0 type veth peer name eth0 netns "$ctr" || return 1
    ip -n "$LAB_PC" link set vethc0 master "$br" up || return 1
    ip -n "$ctr" link set eth0 up
}

lab_pc_tun() {
    ip -n "$LAB_PC" tuntap add dev "$1" mode tun || return 1
    ip -n "$LAB_PC" addr add "$2" dev "$1" || return 1
    ip -n "$LAB_PC" link set "$1" up
}

lab_add_router() {
    local ns; ns="$(lab_ns "$1")"
    ip netns add "$ns" || return 1
    LAB_NAMESPACES+=("$ns")
    ip -n "$ns" link set lo up
    lab__cable "$ns" eth0 "$2" || return 1
    ip -n "$ns" addr add "$3" dev eth0 || return 1
    ip netns exec "$ns" sysctl -qw net.ipv4.ip_forward=1 >/dev/null
}

lab_dhcp_server() {
    local name="$1" sw="$2" addr="$3" first="$4" last="$5" router="${6:-}" ns
    ns="$(lab_ns "$name")"
    ip netns add "$ns" || return 1
    LAB_NAMESPACES+=("$ns")
    ip -n "$ns" link set lo up
    lab__cable "$ns" eth0 "$sw" || return 1
    ip -n "$ns" addr add "$addr" dev eth0 || return 1
    [ -n "${LAB_TMP:-}" ] || lab_tmpdir
    local conf="$LAB_TMP/udhcpd-$name.conf"
    {
        echo "start $first"
        echo "end $last"
        echo "interface eth0"
        echo "lease_file $LAB_TMP/udhcpd-$name.leases"
        echo "pidfile $LAB_TMP/udhcpd-$name.pid"
        echo "opt subnet 255.255.255.0"
        echo "opt lease 600"
        [ -n "$router" ] && echo "opt router $router"
    } >"$conf"
    : >"$LAB_TMP/udhcpd-$name.leases"
    lab_start_bg "$ns" "$LAB_TMP/udhcpd-$name.log" busybox udhcpd -f "$conf"
    lab_wait_port "$ns" udp 67 5
}

lab_pc_dhcp() {
    local ifname="$1" sw="$2" leases="$3"
    lab__cable "$LAB_PC" "$ifname" "$sw" || return 1
    mkdir -p "$leases"
    local script="$LAB_TMP/udhcpc-script"
    cat >"$script" <<'SCRIPT'
#!/bin/sh
# What a desktop's DHCP client does with a lease.
case "$1" in
    bound|renew)
        ip addr flush dev "$interface"
        ip addr add "$ip/$mask" dev "$interface" valid_lft "$lease" preferred_lft "$lease"
        for r in $router; do ip route replace default via "$r" dev "$interface"; break; done
        idx=$(cat "/sys/class/net/$interface/ifindex")
        printf 'ADDRESS=%s
SERVER_ADDRESS=%s
ROUTER=%s
' "$ip" "$serverid" "$router" >"$LEASEDIR/$idx"
        ;;
    deconfig) ip addr flush dev "$interface" ;;
esac
SCRIPT
    chmod +x "$script"
    LEASEDIR="$leases" lab_exec pc busybox udhcpc -i "$ifname" -s "$script" -q -n -t 5 -T 1 >"$LAB_TMP/udhcpc.log" 2>&1
}

lab_ppp_supported() {
    command -v pppd >/dev/null 2>&1 && grep -qw ppp /proc/devices
}

lab_pc_ppp() {
    local isp; isp="$(lab_ns "$1")"
    local local_addr="$2" remote="$3" i
    ip netns list | grep -qw "$isp" || { ip netns add "$isp" && LAB_NAMESPACES+=("$isp") && ip -n "$isp" link set lo up; } || return 1
    # pppd's pty option gives the command the other end of a fresh pty: the
    # ISP's pppd, started in its own namespace.
    lab_start_bg pc "$LAB_TMP/pppd.log" pppd nodetach noauth local defaultroute \
        "$local_addr:$remote" ifname ppp0 \
        pty "ip netns exec $isp pppd notty noauth local $remote:$local_addr"
    for i in $(seq 1 100); do
        ip -n "$LAB_PC" -4 addr show dev ppp0 2>/dev/null | grep -q "inet $local_addr" && return 0
        sleep 0.1
    done
    return 1
}

lab_add_camera() {
    local name="${1:?lab_add_camera needs a name}"; shift
    [ $# -ge 1 ] || { echo "lab_add_camera: needs an address" >&2; return 1; }
    lab__add_host "$(lab_ns "$name")" "$@"
}

lab_add_camera_on() {
    local sw="${1:?lab_add_camera_on needs a switch}" ns a
    ns="$(lab_ns "${2:?lab_add_camera_on needs a name}")"; shift 2
    ip netns add "$ns" || return 1
    LAB_NAMESPACES+=("$ns")
    ip netns exec "$ns" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 >/dev/null 2>&1 || true
    ip -n "$ns" link set lo up
    lab__cable "$ns" eth0 "$sw" || return 1
    for a in "$@"; do
        ip -n "$ns" addr add "$a" dev eth0 || return 1
    done
}

lab_add_empty() {
    local ns; ns="$(lab_ns "${1:?lab_add_empty needs a name}")"
    ip netns add "$ns" || return 1
    LAB_NAMESPACES+=("$ns")
    ip -n "$ns" link set lo up
}

lab_tmpdir() {
    LAB_TMP="$(mktemp -d "/tmp/${LAB_PREFIX}.XXXXXX")"
}

lab_exec() {
    local ns; ns="$(lab_ns "$1")"; shift
    # Run as a waited-for job rather than in the foreground: bash runs a
    # trap only after a foreground command ends, but interrupts `wait`, so a
    # TERM during a long test still cleans up at once. 0<&0 keeps stdin,
    # which a background job would otherwise lose.
    ip netns exec "$ns" "$@" 0<&0 &
    LAB_FG_PID=$!
    local rc=0
    wait "$LAB_FG_PID" || rc=$?
    LAB_FG_PID=
    return "$rc"
}

lab_user_copy() {
    local program="${1:?lab_user_copy needs a program}" dir copy
    [ -n "${LAB_TMP:-}" ] || lab_tmpdir
    dir="$LAB_TMP/any-user"
    copy="$dir/${program##*/}"
    if [ ! -x "$copy" ]; then
        # LAB_TMP stays unlistable (0711): the user reaches the copies, not the rest.
        chmod 711 "$LAB_TMP" && mkdir -p "$dir" && chmod 755 "$dir" &&
            cp "$program" "$copy" && chmod 755 "$copy" || return 1
    fi
    echo "$copy"
}

lab_exec_user() {
    local ns="$1" program="$2"; shift 2
    case "$program" in
        "${bin:-/nonexistent}"/*) program="$(lab_user_copy "$program")" || return 1 ;;
    esac
    # setpriv keeps root's capabilities up to its own exec, which would open
    # a file closed to the user; env execs the command as the user alone.
    lab_exec "$ns" setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all env "$program" "$@"
}

lab_start_bg() {
    local ns; ns="$(lab_ns "$1")"; shift
    local log="$1"; shift
    ip netns exec "$ns" "$@" >"$log" 2>&1 &
    LAB_LAST_PID=$!
    LAB_PIDS+=("$LAB_LAST_PID")
}

lab_stop() {
    local pid="$1" i
    kill -TERM "$pid" 2>/dev/null || return 0
    for i in $(seq 1 40); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

lab_wait_port() {
    local ns; ns="$(lab_ns "$1")"
    local proto="$2" port="$3" secs="${4:-5}" flag=-uln i
    [ "$proto" = tcp ] && flag=-tln
    for i in $(seq 1 $((secs * 20))); do
        if ip netns exec "$ns" ss -H "$flag" "sport = :$port" 2>/dev/null | grep -q .; then
            return 0
        fi
        sleep 0.05
    done
    return 1
}

lab_cleanup() {
    [ "$LAB_CLEANED" = 1 ] && return 0
    LAB_CLEANED=1
    local pid ns
    [ -n "$LAB_FG_PID" ] && lab_stop "$LAB_FG_PID"
    for pid in "${LAB_PIDS[@]}"; do
        lab_stop "$pid"
    done
    # Anything still running inside the lab's namespaces was started by this
    # test (a child of a child); end it by pid before the namespace goes.
    for ns in "${LAB_NAMESPACES[@]}"; do
        for pid in $(ip netns pids "$ns" 2>/dev/null); do
            kill -KILL "$pid" 2>/dev/null || true
        done
    done
    for ns in "${LAB_NAMESPACES[@]}"; do
        ip netns del "$ns" 2>/dev/null || true
    done
    LAB_NAMESPACES=()
    LAB_PIDS=()
    if [ -n "${LAB_TMP:-}" ] && [ -d "$LAB_TMP" ]; then
        rm -rf -- "$LAB_TMP"
    fi
}

lab_stored() {
    local cam="$1" line; shift
    for line in "$@"; do
        if ! grep -qxF -- "$line" "$LAB_TMP/$cam.conf"; then
            echo "FAIL $cam stored no '$line' (has '$(grep "^${line%%=*}=" "$LAB_TMP/$cam.conf")')"
            failures=$((${failures:-0} + 1))
        fi
    done
}

lab_sent() {
    local cam="$1" text; shift
    for text in "$@"; do
        if ! grep -qF -- "$text" "$LAB_TMP/$cam.req"; then
            echo "FAIL no request to $cam carried '$text'"
            failures=$((${failures:-0} + 1))
        fi
    done
}

lab_check() {
    local name="$1"; shift
    if "$@"; then echo "ok   $name"; else echo "FAIL $name"; failures=$((${failures:-0} + 1)); fi
}

lab_finish() {
    if [ "${failures:-0}" -ne 0 ]; then
        echo "$failures check(s) failed; camera logs:" >&2
        tail -n 5 "$LAB_TMP"/*.log >&2
        exit 1
    fi
    echo "all $1 lab checks passed"
}

# The start every ONVIF lab shares: the emulator ($sim, skipped without
# python3-lxml), the lab named NAME with its scratch folder, and the helper
# and runtime folder the command line uses there.
lab_onvif_start() {
    sim="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)/tools/onvifsim/onvifsim"
    if ! /usr/bin/python3 -c 'import lxml' 2>/dev/null; then
        echo "the ONVIF emulator needs python3-lxml; skipped" >&2
        exit 77
    fi
    lab_init "$1"
    lab_tmpdir
    export ORVANTA_NETADMIN="$bin/orvanta-netadmin"
    export XDG_RUNTIME_DIR="$LAB_TMP/run"
    mkdir -p "$XDG_RUNTIME_DIR"
    export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
}
