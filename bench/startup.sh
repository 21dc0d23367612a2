#!/usr/bin/env bash
# Time from process start to the first page shown, and peak memory, of the
# wizard under the offscreen platform, inside a private network namespace
# that holds only a loopback device. The reachability probe is pointed at a
# closed loopback port (refused at once, so the probe's 3 s wait is not part
# of the figure); a second series runs with no probe host at all.
#
# Prints one line per run (the wizard's own --measure-startup line plus the
# time from launching the command, which includes loading the libraries and
# entering the namespace) and the medians.
# Run as root (the namespace): sudo bench/startup.sh [RUNS]
#   ORVANTA_BIN_DIR  the built programs (default build/bin; a sanitizer
#                    build is several times slower and larger)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-7}"
bin="${ORVANTA_BIN_DIR:-$root/build/bin}"
[ -x "$bin/orvanta" ] || { echo "startup: $bin/orvanta is missing; build it first" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || { echo "startup: needs root for the namespace: sudo $0" >&2; exit 1; }

ns="ovgbench-$$"
work="$(mktemp -d /tmp/ovgbench.XXXXXX)"
cleanup() { ip netns del "$ns" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
ip netns add "$ns"
ip -n "$ns" link set lo up
printf '[DefaultLang]\nLangFile=English (ENG).ini\n' > "$work/defaultlang.ini"

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

series() {  # label, probe host
    local label="$1" host="$2" i line t0 ms=() kib=() total=()
    for ((i = 0; i < runs; i++)); do
        t0="$(date +%s%N)"
        line="$(ip netns exec "$ns" env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" \
                ORVANTA_CONFIG_DIR="$work" ORVANTA_PROBE_HOST="$host" ORVANTA_PROBE_PORT=9 \
                ORVANTA_LISTING_HOST= "$bin/orvanta" --measure-startup 2>/dev/null | grep startup_ms)"
        total+=("$(( ($(sed -E 's/.*first_page_epoch_ns=([0-9]+).*/\1/' <<<"$line") - t0) / 1000 ))")
        echo "$label run $i: $line launch_to_first_page_us=${total[-1]}"
        ms+=("$(sed -E 's/.*startup_ms=([0-9.]+).*/\1/' <<<"$line")")
        kib+=("$(sed -E 's/.*peak_rss_kib=([0-9]+).*/\1/' <<<"$line")")
    done
    echo "$label: median from launch $(printf '%s\n' "${total[@]}" | median) us," \
         "median from main() $(printf '%s\n' "${ms[@]}" | median) ms," \
         "median peak RSS $(printf '%s\n' "${kib[@]}" | median) KiB over $runs runs"
}

series "probe to closed 127.0.0.1:9" 127.0.0.1
series "no probe host" ""
