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
#       addresses and a default route out of eth0 (so that a send to
#       255.255.255.255 has a way out; it leads only to the lab's bridge).
#   lab_add_camera NAME ADDR/LEN [ADDR2/LEN ...]
#       The same for a camera namespace. NAME: letters, digits, '_'.
#   lab_add_empty NAME   A namespace with loopback only (a PC without any
#                        address), reachable as NAME like a camera.
#   lab_ns NAME          Prints the namespace of "pc", of a camera NAME, or
#                        of an already full namespace name.
#   lab_exec NS cmd...   Runs cmd inside namespace NS (as for lab_ns).
#   lab_exec_user NS cmd...
#                        The same as an ordinary user (nobody, no
#                        supplementary groups, no capabilities), as the
#                        wizard runs on a user's desktop.
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
    ip -n "$ns" route add default dev eth0 || return 1
}

lab_add_pc() {
    [ $# -ge 1 ] || { echo "lab_add_pc: needs an address" >&2; return 1; }
    lab__add_host "$LAB_PC" "$@"
}

lab_add_camera() {
    local name="${1:?lab_add_camera needs a name}"; shift
    [ $# -ge 1 ] || { echo "lab_add_camera: needs an address" >&2; return 1; }
    lab__add_host "$(lab_ns "$name")" "$@"
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

lab_exec_user() {
    local ns="$1"; shift
    lab_exec "$ns" setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all "$@"
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
