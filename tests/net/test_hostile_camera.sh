#!/usr/bin/env bash
# Cameras that misbehave on purpose, each in its own lab namespace, against
# orvanta-cli read and save and the wizard's read step: one that keeps the
# connection open after a reply that says how long it is, one that keeps it
# open after a reply that does not, one that sends its
# header and then nothing, one that sends a byte a second, and one whose
# title, description and SSIDs hold the words of the status texts. Checks
# what each returns and that it returns well before a read made of eight
# waits for the close (about two minutes) would.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"

lab_require_programs orvanta-camsim orvanta-cli guided_flow_guiprog
export ORVANTA_SOURCE_DIR="${ORVANTA_SOURCE_DIR:-$(cd "$here/../.." && pwd)}"

lab_init ovh
lab_tmpdir
T="$LAB_TMP"
lab_add_pc 10.95.0.1/24
lab_add_camera keep 10.95.0.10/24
lab_add_camera hush 10.95.0.20/24
lab_add_camera drip 10.95.0.30/24
lab_add_camera words 10.95.0.40/24
lab_add_camera late 10.95.0.50/24
lab_add_camera open 10.95.0.60/24

start_cam() {  # start_cam NAME args...
    local name="$1"; shift
    lab_start_bg "$name" "$T/$name.log" "$bin/orvanta-camsim" --no-discovery --config "$T/$name.conf" \
        --request-log "$T/$name.req" "$@"
    lab_wait_port "$name" tcp 80 10 || { echo "camera $name did not start" >&2; cat "$T/$name.log" >&2; exit 1; }
}

printf 'IPAddr=10.95.0.10\nTitleBar=Kept Open\n' >"$T/keep.conf"
start_cam keep --misbehave never-close
printf 'IPAddr=10.95.0.60\nTitleBar=Open Quiet\n' >"$T/open.conf"
start_cam open --misbehave never-close --no-content-length
printf 'IPAddr=10.95.0.20\n' >"$T/hush.conf"
start_cam hush --misbehave header-then-silence
printf 'IPAddr=10.95.0.30\n' >"$T/drip.conf"
start_cam drip --misbehave drip --drip-ms 1000
printf 'IPAddr=10.95.0.40\nTitleBar=Unauthorized use prohibited\nDesp=404 Not Found in the lobby\nSSID=402 Failure\n' \
    >"$T/words.conf"
printf 'IPAddr=10.95.0.50\n' >"$T/late.conf"
start_cam late --misbehave drip --drip-ms 1000 --misbehave-path goform
start_cam words --ap "402 Failure,00:11:22:33:44:55,Infra,6,80,WPA-PSK" \
    --ap "Unauthorized,00:11:22:33:44:66,Infra,11,40,None"

failures=0
has() { grep -qxF -- "$2" "$1"; }  # has FILE LINE
# timed MAX NAME cmd...: runs cmd from the PC with its output in $T/NAME.out
# and .err, leaves its exit code in `rc`, and fails when it took over MAX s.
timed() {
    local max="$1" name="$2" start=$SECONDS; shift 2
    lab_exec pc "$@" >"$T/$name.out" 2>"$T/$name.err"
    rc=$?
    local took=$((SECONDS - start))
    echo "     $name: exit $rc after ${took} s"
    [ "$took" -le "$max" ] || { echo "$name took ${took} s" >&2; return 1; }
}
cli() { echo "$bin/orvanta-cli"; }

# Kept open after a reply with its length: read and save go through at once.
keep_read() {
    timed 20 keep-read "$(cli)" read 10.95.0.10 || return 1
    [ "$rc" = 0 ] && has "$T/keep-read.out" "TitleBar=Kept Open" && has "$T/keep-read.out" "Loaded=1"
}
lab_check "kept open: read returns at once" keep_read

keep_save() {
    sed 's/^TitleBar=.*/TitleBar=Saved Open/' "$T/keep-read.out" >"$T/keep.ini"
    timed 20 keep-save "$(cli)" save 10.95.0.10 --settings "$T/keep.ini" || return 1
    [ "$rc" = 0 ] && [ "$(grep -c '^write ' "$T/keep-save.out")" = 4 ] && has "$T/keep.conf" "TitleBar=Saved Open"
}
lab_check "kept open: save returns at once" keep_save

# Kept open after a reply that says nothing of its length: each reply ends
# once the camera has been quiet for a moment after its body, the same rule
# in the command line as in the window (below), instead of each waiting out
# its own limit (a read ran into the 120 s timeout, a WPS status took 30 s).
open_cli() {
    timed 15 open-read "$(cli)" read 10.95.0.60 || return 1
    [ "$rc" = 0 ] && has "$T/open-read.out" "TitleBar=Open Quiet" && has "$T/open-read.out" "Loaded=1" || return 1
    timed 5 open-wps "$(cli)" wps status 10.95.0.60 || return 1
    [ "$rc" = 0 ] && has "$T/open-wps.out" "WPS=0"
}
lab_check "kept open without a length: read and WPS status in seconds" open_cli

# A header that promises a body that never comes, and a byte a second: the
# first request fails as timed out (-9, exit 4: no answer) after its own
# limit; nothing half-read is reported as the camera's settings.
stalled_read() {  # stalled_read CAMERA IP
    timed 40 "$1-read" "$(cli)" read "$2" || return 1
    [ "$rc" = 4 ] && grep -q -- '-9 (' "$T/$1-read.err" && [ ! -s "$T/$1-read.out" ]
}
lab_check "header then silence: read fails as timed out" stalled_read hush 10.95.0.20
lab_check "a byte a second: read fails as timed out" stalled_read drip 10.95.0.30

# The save's access check meets the stall first: nothing is written.
stalled_save() {  # stalled_save CAMERA IP
    timed 40 "$1-save" "$(cli)" save "$2" --settings "$T/keep.ini" || return 1
    [ "$rc" = 4 ] && grep -q -- '-9 (' "$T/$1-save.err" && ! grep -q ': done' "$T/$1-save.out"
}
lab_check "header then silence: save fails before it writes" stalled_save hush 10.95.0.20
lab_check "a byte a second: save fails before it writes" stalled_save drip 10.95.0.30

# The status texts as the camera's own data: read whole, every value kept,
# and a title saved with those words reads back.
words() {
    timed 20 words-read "$(cli)" read 10.95.0.40 || return 1
    [ "$rc" = 0 ] && has "$T/words-read.out" "TitleBar=Unauthorized use prohibited" &&
        has "$T/words-read.out" "Desp=404 Not Found in the lobby" && has "$T/words-read.out" "SSID=402 Failure" &&
        has "$T/words-read.out" "APCount=2" || return 1
    timed 20 words-scan "$(cli)" scan-ap 10.95.0.40 || return 1
    [ "$rc" = 0 ] && grep -q '^402 Failure	' "$T/words-scan.out" && grep -q '^Unauthorized	' "$T/words-scan.out" ||
        return 1
    sed 's/^TitleBar=.*/TitleBar=402 Failure/' "$T/words-read.out" >"$T/words.ini"
    timed 20 words-save "$(cli)" save 10.95.0.40 --settings "$T/words.ini" || return 1
    [ "$rc" = 0 ] && has "$T/words.conf" "TitleBar=402 Failure" || return 1
    timed 20 words-again "$(cli)" read 10.95.0.40 || return 1
    [ "$rc" = 0 ] && has "$T/words-again.out" "TitleBar=402 Failure"
}
lab_check "status words in title, description and SSID are data" words

# The wizard's read step: the window's own thread (the login read) is held
# no longer than a read task would be waited for (6.6 s), the read reaches
# the option page or is given up with its message, and closing the window
# does not wait for a stalled request of the given-up task.
gui_read() {  # gui_read CAMERA IP EXPECT TITLE
    lab_exec pc env QT_QPA_PLATFORM=offscreen OVF_CAM_IP="$2" OVF_CAM_MAC=02:00:00:95:00:01 \
        OVF_CAM_SERIAL="SN-$1" OVF_EXPECT="$3" OVF_TITLE="$4" \
        "$bin/guided_flow_guiprog" hostileRead >"$T/gui-$1.out" 2>&1 ||
        { grep -v QWARN "$T/gui-$1.out" | tail -20 >&2; return 1; }
    local line
    line="$(grep -o 'hostile-read held=[0-9]* answered=[0-9]* close=[0-9]*' "$T/gui-$1.out")" || return 1
    echo "     gui $1: $line (ms)"
    set -- $line
    [ "${2#held=}" -le 12000 ] && [ "${3#answered=}" -le 40000 ] && [ "${4#close=}" -le 3000 ]
}
lab_check "wizard read step, kept open" gui_read keep 10.95.0.10 read "Saved Open"
lab_check "wizard read step, kept open without a length" gui_read open 10.95.0.60 read "Open Quiet"
lab_check "wizard read step, status words as data" gui_read words 10.95.0.40 read "402 Failure"
lab_check "wizard read step, header then silence" gui_read hush 10.95.0.20 fail ""
lab_check "wizard read step, a byte a second" gui_read drip 10.95.0.30 fail ""
lab_check "wizard read step, a byte a second after the login" gui_read late 10.95.0.50 fail ""

lab_finish "hostile camera"
