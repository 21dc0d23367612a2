#!/usr/bin/env bash
# The WPS pages of the wizard in the lab: the wizard (offscreen) in the PC
# namespace drives WPS on two simulated cameras, one that joins on the first
# status query and one that never acknowledges; the cameras' request logs
# show how often the start and the status query arrived.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"

bin="${ORVANTA_BIN_DIR:?ORVANTA_BIN_DIR must name the built programs}"
src="${ORVANTA_SOURCE_DIR:-$here/../..}"
for p in orvanta-camsim wireless_wps_guiprog; do
    [ -x "$bin/$p" ] || { echo "missing $bin/$p" >&2; exit 1; }
done

lab_init ovw
lab_tmpdir
T="$LAB_TMP"
lab_add_pc 10.95.0.1/24
lab_add_camera joins 10.95.0.10/24
lab_add_camera never 10.95.0.20/24

for cam in joins never; do
    after=1
    [ "$cam" = never ] && after=never
    printf 'IPAddr=%s\n' "$([ "$cam" = joins ] && echo 10.95.0.10 || echo 10.95.0.20)" >"$T/$cam.conf"
    lab_start_bg "$cam" "$T/$cam.log" "$bin/orvanta-camsim" --no-discovery --config "$T/$cam.conf" \
        --request-log "$T/$cam.req" --wps-after "$after" \
        --ap "Home Net,00:11:22:33:44:55,Infra,6,80,WPA2-PSK,AES"
    lab_wait_port "$cam" tcp 80 10 || { echo "camera $cam did not start" >&2; cat "$T/$cam.log" >&2; exit 1; }
done

rc=0
lab_exec pc env QT_QPA_PLATFORM=offscreen HOME="$T" XDG_RUNTIME_DIR="$T" ORVANTA_SOURCE_DIR="$src" \
    ORVANTA_TEST_WPS_JOINS=10.95.0.10 ORVANTA_TEST_WPS_NEVER=10.95.0.20 \
    "$bin/wireless_wps_guiprog" || rc=1

count() { grep -c -- "$2" "$1" 2>/dev/null || true; }
# Joined at once: one start, one status query.
starts=$(count "$T/joins.req" '^/cgi-bin/wps.cgi')
queries=$(count "$T/joins.req" 'WPS&WPS_ACK')
if [ "$starts" = 1 ] && [ "$queries" = 1 ]; then echo "ok   joining camera: 1 start, 1 query"
else echo "FAIL joining camera: $starts starts, $queries queries"; rc=1; fi
# Never: the start four times in all, a query from the 12th to the 29th tick.
starts=$(count "$T/never.req" '^/cgi-bin/wps.cgi')
queries=$(count "$T/never.req" 'WPS&WPS_ACK')
if [ "$starts" = 4 ] && [ "$queries" = 18 ]; then echo "ok   silent camera: 4 starts, 18 queries"
else echo "FAIL silent camera: $starts starts, $queries queries"; cat "$T/never.req" >&2; rc=1; fi
exit "$rc"
