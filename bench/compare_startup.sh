#!/usr/bin/env bash
# Start-up time to the first window and peak memory of the wizard, beside the
# ONVIF GUI tool of Debian's onvif-tools package (onvif-gui), both started
# the same way: under one Xvfb, inside a namespace of the test lab (onvif-gui
# searches the network when it starts; there it only reaches the lab's
# bridge), each run from a fresh HOME.
#
# Time: from the launch until the program's first window is mapped
# (xdotool, polled every 10 ms, matched by _NET_WM_PID). Memory: VmHWM of
# the process 2 s after that window showed. Medians of RUNS runs each,
# alternating the two programs; the wizard's own --measure-startup line is
# printed too. The wizard's Internet probe is switched off (a connected PC
# answers it at once; a lab namespace would make it wait its full 3 s).
#
# Usage: sudo bench/compare_startup.sh [RUNS]     (default 5)
#   ORVANTA_BIN_DIR  the built programs (default build/bin, a release build:
#                    a sanitizer build is several times slower and larger)
# Installs onvif-tools and xdotool with apt-get when they are missing, so
# that the test machines never pay for them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-5}"
bin="${ORVANTA_BIN_DIR:-$root/build/bin}"
[ -x "$bin/orvanta" ] || { echo "compare_startup: $bin/orvanta is missing; build it first (scripts/build)" >&2; exit 1; }
if [ "$(id -u)" -ne 0 ]; then
    echo "compare_startup: needs root for the lab's namespaces: sudo $0" >&2
    exit 1
fi
need=()
command -v onvif-gui >/dev/null 2>&1 || need+=(onvif-tools)
command -v xdotool >/dev/null 2>&1 || need+=(xdotool)
command -v Xvfb >/dev/null 2>&1 || need+=(xvfb)
if [ "${#need[@]}" -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${need[@]}" >/dev/null
fi

# shellcheck source=../tests/net/lib/lab.sh
. "$root/tests/net/lib/lab.sh"
lab_init ovx
lab_tmpdir
T="$LAB_TMP"
lab_add_pc 192.168.63.10/24

lab_start_bg pc "$T/xvfb.log" bash -c \
    'exec Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -nolisten unix 3>"$1"' _ "$T/display"
for _ in $(seq 1 100); do [ -s "$T/display" ] && break; sleep 0.05; done
display=":$(cat "$T/display")"

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# measure NAME cmd... : prints "ms kib" for one start.
measure() {
    local name="$1"; shift
    local home="$T/home-$name-$RANDOM"
    mkdir -p "$home"
    local start; start=$(now_ms)
    lab_start_bg pc "$T/$name.log" env DISPLAY="$display" HOME="$home" XDG_RUNTIME_DIR="$home" \
        XDG_CONFIG_HOME="$home/.config" ORVANTA_PROBE_HOST= "$@"
    local pid=$LAB_LAST_PID shown=0 i
    for i in $(seq 1 3000); do
        if lab_exec pc env DISPLAY="$display" xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; then
            shown=$(now_ms)
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.01
    done
    if [ "$shown" = 0 ]; then
        echo "compare_startup: $name showed no window; its output:" >&2
        cat "$T/$name.log" >&2
        lab_stop "$pid"
        return 1
    fi
    sleep 2
    local kib; kib=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
    lab_stop "$pid"
    echo "$((shown - start)) $kib"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

: >"$T/orvanta.txt"
: >"$T/onvif.txt"
for r in $(seq 1 "$runs"); do
    measure orvanta "$bin/orvanta" >>"$T/orvanta.txt"
    measure onvif onvif-gui >>"$T/onvif.txt"
    echo "run $r: orvanta $(tail -1 "$T/orvanta.txt")  onvif-gui $(tail -1 "$T/onvif.txt")  (ms KiB)"
done

o_ms=$(cut -d' ' -f1 "$T/orvanta.txt" | median)
o_kib=$(cut -d' ' -f2 "$T/orvanta.txt" | median)
g_ms=$(cut -d' ' -f1 "$T/onvif.txt" | median)
g_kib=$(cut -d' ' -f2 "$T/onvif.txt" | median)
self=$(lab_exec pc env DISPLAY="$display" HOME="$T" XDG_RUNTIME_DIR="$T" ORVANTA_PROBE_HOST= \
    "$bin/orvanta" --measure-startup 2>/dev/null | tail -1 || true)

echo
echo "runs:                      $runs (median of each)"
echo "orvanta   first window:    $o_ms ms   peak memory: $o_kib KiB"
echo "onvif-gui first window:    $g_ms ms   peak memory: $g_kib KiB"
awk -v a="$o_ms" -v b="$g_ms" -v c="$o_kib" -v d="$g_kib" 'BEGIN {
    printf "ratio orvanta/onvif-gui:    time %.2f   memory %.2f\n", (b > 0 ? a / b : 0), (d > 0 ? c / d : 0) }'
echo "orvanta --measure-startup: ${self:-(no answer)}"
