#!/usr/bin/env bash
# The camera-listing path of the wizard in the lab: the simulated listing
# server in its own namespace, the wizard (offscreen) in the PC namespace,
# from the first page to a list of two cameras and the double click. Checks
# also what the server was asked.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"

lab_require_programs orvanta-camsim server_flow_guiprog
src="${ORVANTA_SOURCE_DIR:-$here/../..}"

lab_init ovw
lab_tmpdir
T="$LAB_TMP"
lab_add_pc 10.94.0.1/24
lab_add_camera lst 10.94.0.50/24

lab_start_bg lst "$T/lst.log" "$bin/orvanta-camsim" --listing-server --request-log "$T/lst.req" \
    --listing "acct,p&ss word,device,cam-1,10.94.0.10,80,02:00:00:94:00:0a,OV-100W" \
    --listing "acct,p&ss word,device,cam-2,10.94.0.20,8080,02:00:00:94:00:14,OV-200"
lab_wait_port lst tcp 80 10 || { echo "listing server did not start" >&2; cat "$T/lst.log" >&2; exit 1; }

rc=0
lab_exec pc env QT_QPA_PLATFORM=offscreen HOME="$T" XDG_RUNTIME_DIR="$T" ORVANTA_SOURCE_DIR="$src" \
    ORVANTA_TEST_LISTING_HOST=10.94.0.50 ORVANTA_TEST_LISTING_PORT=80 \
    "$bin/server_flow_guiprog" || rc=1

# The password's "&" and space reached the server escaped, so it read the
# values whole; a device login is Page=3, a user login Page=2.
grep -q 'Act=1&Page=3&ID=acct&Password=p%26ss%20word' "$T/lst.req" || {
    echo "FAIL the server never got the escaped device login" >&2; cat "$T/lst.req" >&2; rc=1; }
grep -q 'Page=2&ID=acct' "$T/lst.req" || { echo "FAIL no user login reached the server" >&2; rc=1; }
[ "$rc" = 0 ] && echo "ok   listing path"
exit "$rc"
