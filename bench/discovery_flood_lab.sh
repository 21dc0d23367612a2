#!/usr/bin/env bash
# A flood of replies with made-up MACs (bench_discovery_flood) beside a group
# of real cameras, while `orvanta-cli discover` listens, then while the
# search page searches (when bench_search_page_flood is built). Prints how
# many entries the listing has, how many of the real cameras are in it, and
# the peak memory; for the page also how long the window went unanswered and
# the memory after the search. Needs root (for the namespaces).
#
# usage: bench/discovery_flood_lab.sh [BIN_DIR] [RATE] [SECONDS] [CAMERAS]
#        (default 100000 replies a second for 10 s, beside 50 cameras)
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=../tests/net/lib/lab.sh
. "$here/../tests/net/lib/lab.sh"
bin="${1:-${ORVANTA_BIN_DIR:-$here/../build/bin}}"
rate="${2:-100000}"
seconds="${3:-10}"
cameras="${4:-50}"

lab_init ovf
lab_tmpdir
lab_add_pc 10.91.0.1/16
lab_add_camera grp 10.91.0.2/16
lab_add_camera flood 10.91.0.3/16
lab_start_bg grp "$LAB_TMP/grp.log" "$bin/orvanta-camsim" --no-web --count "$cameras" \
    --mac 02:00:00:40:00:00 --ip 10.91.1.1 --mask 255.255.0.0
lab_wait_port grp udp 49160 10 || { echo "camera group did not start" >&2; exit 1; }
lab_start_bg flood "$LAB_TMP/flood.log" "$bin/bench_discovery_flood" "$rate" "$((seconds + 2))"
sleep 1
lab_exec pc /usr/bin/time -f '%M' -o "$LAB_TMP/peak" \
    "$bin/orvanta-cli" discover --seconds "$seconds" --format csv >"$LAB_TMP/list.csv"
sleep 2
entries=$(($(wc -l <"$LAB_TMP/list.csv") - 1))
real="$(grep -c ',02:00:00:40:' "$LAB_TMP/list.csv")"
echo "flood $rate/s for ${seconds} s beside $cameras cameras: $entries entries, $real of $cameras cameras listed, peak RSS $(tail -1 "$LAB_TMP/peak") KB"
cat "$LAB_TMP/flood.log"
# The flood reaches the cameras too: a request lost in it is never answered.
echo "the cameras answered $(grep -c 'answered a request' "$LAB_TMP/grp.log") request(s)"
if [ -x "$bin/bench_search_page_flood" ]; then
    lab_start_bg flood "$LAB_TMP/flood2.log" "$bin/bench_discovery_flood" "$rate" 10
    sleep 1
    QT_QPA_PLATFORM=offscreen lab_exec pc "$bin/bench_search_page_flood" 2>/dev/null
    cat "$LAB_TMP/flood2.log"
fi
