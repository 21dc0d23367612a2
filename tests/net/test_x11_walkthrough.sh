#!/usr/bin/env bash
# The wizard's real window on a real X server (Xvfb, the xcb platform, not
# offscreen), walked through the guided LAN path by clicks against a
# simulated camera, all inside the lab's namespaces; then, beside an
# emulated ONVIF camera, through the ONVIF path (<variant>-onvif). A
# screenshot of every page reached lands in
# <build>/test-artifacts/walkthrough/<variant>/, and one of each page as it
# stands in .../<variant>/pages/.
#
# Variants: English at 100% and Traditional Chinese at 200% by default;
# ORVANTA_WALKTHROUGH_ALL=1 runs all four (both languages at both scales).
# ORVANTA_WALKTHROUGH_LANGUAGES adds walks at 100% in the languages it names
# ("Deutsch (DEU);Italiano (ITA)", or "all" for every shipped file); their
# variants are named by the code, e.g. deu-100.
# ORVANTA_WALKTHROUGH_REQUIRE names the last step that must be reached
# (later steps are walked as far as they go and reported, not failed).
# A walk fails when a control of any page has no accessible name;
# ORVANTA_WALKTHROUGH_STRICT_A11Y=0 only lists them.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"

bin="${ORVANTA_BIN_DIR:?ORVANTA_BIN_DIR must name the built programs}"
src="${ORVANTA_SOURCE_DIR:?ORVANTA_SOURCE_DIR must name the source tree}"
build="${ORVANTA_BUILD_DIR:-$bin/..}"
prog="$bin/x11_walkthrough_guiprog"
for p in orvanta-camsim orvanta-netadmin x11_walkthrough_guiprog; do
    [ -x "$bin/$p" ] || { echo "missing $bin/$p (a build without the GUI?); skipped" >&2; exit 77; }
done
command -v Xvfb >/dev/null 2>&1 || { echo "Xvfb is not installed; skipped" >&2; exit 77; }

require="${ORVANTA_WALKTHROUGH_REQUIRE:-setup-finished}"
out="$build/test-artifacts/walkthrough"
strict=()
[ "${ORVANTA_WALKTHROUGH_STRICT_A11Y:-1}" = 1 ] && strict=(--strict-accessible)

lab_init ovx
lab_tmpdir
T="$LAB_TMP"
lab_add_pc 192.168.61.10/24
lab_add_camera cam 192.168.61.20/24
sim="$src/tools/onvifsim/onvifsim"
onvif=0
if /usr/bin/python3 -c 'import lxml' 2>/dev/null; then
    onvif=1
    lab_add_camera ocam 192.168.61.30/24
    printf 'Walk pass\n' >"$T/opw"
    # A router to a camera network of its own, reached by the PC's route.
    lab_add_router gw main 192.168.61.254/24
    lab__cable "$(lab_ns gw)" eth1 far && ip -n "$(lab_ns gw)" addr add 10.61.8.1/24 dev eth1
    ip -n "$LAB_PC" route add 10.61.8.0/24 via 192.168.61.254
    lab_add_camera_on far vlan 10.61.8.10/24
    ip -n "$(lab_ns vlan)" route add default via 10.61.8.1
    lab_start_bg vlan "$T/vlan.log" "$sim" --address 10.61.8.10/24 --count 3 --name "Far dome" \
        --uuid urn:uuid:6f5e0000-0000-4000-8000-000000000610 --password-file "$T/opw"
    lab_wait_port vlan tcp 80 15 || { echo "routed ONVIF cameras did not start" >&2; exit 1; }
else
    echo "note the ONVIF emulator needs python3-lxml: no ONVIF walk"
fi

# The X server lives in the PC namespace too: its abstract socket is then
# reachable only from there. -displayfd picks a free display number.
lab_start_bg pc "$T/xvfb.log" bash -c \
    'exec Xvfb -displayfd 3 -screen 0 1800x1400x24 -nolisten tcp -nolisten unix 3>"$1"' _ "$T/display"
for _ in $(seq 1 100); do [ -s "$T/display" ] && break; sleep 0.05; done
display="$(cat "$T/display" 2>/dev/null)"
[ -n "$display" ] || { echo "Xvfb did not start" >&2; cat "$T/xvfb.log" >&2; exit 1; }

cam_pid=
start_camera() {
    [ -n "$cam_pid" ] && lab_stop "$cam_pid"
    # A fresh camera for each walk: the last one saved a new address.
    lab_exec cam ip addr flush dev eth0
    lab_exec cam ip addr add 192.168.61.20/24 dev eth0
    printf 'IPAddr=192.168.61.20\nNetmask=255.255.255.0\nGateway=192.168.61.1\nSerialNo=WALK-0001\nMAC=02:00:00:61:00:14\nModelName=OV-100\n' \
        >"$T/cam.conf"
    lab_start_bg cam "$T/cam.log" "$bin/orvanta-camsim" --config "$T/cam.conf" --iface eth0 \
        --mac 02:00:00:61:00:14 --serial WALK-0001 --desc OV-100 --interface ethernet --readdress-delay-ms 300
    cam_pid=$LAB_LAST_PID
    lab_wait_port cam tcp 80 10 || { echo "camera did not start" >&2; cat "$T/cam.log" >&2; exit 1; }
}

ocam_pid=
start_onvif_camera() {
    [ -n "$ocam_pid" ] && lab_stop "$ocam_pid"
    lab_exec ocam ip addr flush dev eth0
    lab_exec ocam ip addr add 192.168.61.30/24 dev eth0
    rm -f "$T/ocam.json"
    lab_start_bg ocam "$T/ocam.log" "$sim" --uuid urn:uuid:6f5e0000-0000-4000-8000-000000000061 --name "Walk dome" \
        --port 80 --state "$T/ocam.json" --password-file "$T/opw" --reboot-seconds 1
    ocam_pid=$LAB_LAST_PID
    lab_wait_port ocam tcp 80 15 || { echo "ONVIF camera did not start" >&2; cat "$T/ocam.log" >&2; exit 1; }
}

failures=0
# run_walk VARIANT LANGUAGE SCALE REQUIRED-STEP ARGS...: the walk program in
# the PC namespace on the lab's X server; false when it failed or stopped
# before REQUIRED-STEP.
run_walk() {
    local variant="$1" language="$2" scale="$3" required="$4"
    shift 4
    rm -rf "${out:?}/$variant"
    mkdir -p "$out/$variant"
    echo "== $variant"
    lab_exec pc env DISPLAY=":$display" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" \
        ORVANTA_PROBE_HOST= XDG_RUNTIME_DIR="$T" HOME="$T" \
        "$prog" --out "$out/$variant" --source "$src" --language "$language" "$@" "${strict[@]}" >"$out/$variant/walk.log" 2>&1
    local rc=$?
    cat "$out/$variant/walk.log"
    [ "$rc" -eq 0 ] && grep -q "^walkthrough: reached $required\$" "$out/$variant/walk.log" && return 0
    echo "FAIL walk $variant (exit $rc)"
    failures=$((failures + 1))
    return 1
}
walked() {  # walked VARIANT: the closing line of a walk that held
    echo "ok   walk $1 ($(find "$out/$1" -name '*.png' | wc -l) screenshots)"
}

walk_onvif() {  # walk_onvif VARIANT LANGUAGE SCALE
    local variant="$1-onvif"
    start_onvif_camera
    run_walk "$variant" "$2" "$3" onvif-finished --path onvif --password 'Walk pass' \
        --camera 192.168.61.30 --new-ip 192.168.61.60 --expect-cameras 2 || return
    local now
    now="$(/usr/bin/python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["cameras"][0]["address"])' "$T/ocam.json" 2>/dev/null)"
    if [ "$now" != 192.168.61.60 ]; then
        echo "FAIL walk $variant: the ONVIF camera holds $now, not the typed address"
        failures=$((failures + 1))
    else
        walked "$variant"
    fi
}

walk() {  # walk VARIANT LANGUAGE SCALE
    local variant="$1"
    start_camera
    run_walk "$variant" "$2" "$3" "$require" --camera 192.168.61.20 --new-ip 192.168.61.50 \
        --require-through "$require" --all-pages || return
    if [ "$require" = setup-finished ] && ! grep -qx "IPAddr=192.168.61.50" "$T/cam.conf"; then
        # What the camera stored, not only what the pages showed.
        echo "FAIL walk $variant: the camera did not store the typed address"
        grep "^IPAddr=" "$T/cam.conf"
        failures=$((failures + 1))
    else
        walked "$variant"
    fi
}

walk en-100 "English (ENG)" 1
walk cht-200 "繁體中文 (CHT)" 2
if [ "$onvif" = 1 ]; then
    walk_onvif en-100 "English (ENG)" 1
    walk_onvif cht-200 "繁體中文 (CHT)" 2
    run_walk en-100-range "English (ENG)" 1 range-search --path range --ranges 10.61.8.0/24 --expect-cameras 3 &&
        walked en-100-range
fi
if [ "${ORVANTA_WALKTHROUGH_ALL:-0}" = 1 ]; then
    walk en-200 "English (ENG)" 2
    walk cht-100 "繁體中文 (CHT)" 1
fi
if [ -n "${ORVANTA_WALKTHROUGH_LANGUAGES:-}" ]; then
    if [ "$ORVANTA_WALKTHROUGH_LANGUAGES" = all ]; then
        languages=()
        for f in "$src"/lang/*.ini; do languages+=("$(basename "$f" .ini)"); done
    else
        IFS=';' read -r -a languages <<<"$ORVANTA_WALKTHROUGH_LANGUAGES"
    fi
    for language in "${languages[@]}"; do
        code="${language##*(}"
        code="${code%)}"
        walk "$(printf '%s' "$code" | tr 'A-Z' 'a-z')-100" "$language" 1
    done
fi

[ "$failures" -eq 0 ] || { echo "$failures walk(s) failed"; exit 1; }
echo "all walks passed; screenshots in $out"
