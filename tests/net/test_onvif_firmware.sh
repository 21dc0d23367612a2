#!/usr/bin/env bash
# Firmware, restarts and soft factory defaults on emulated ONVIF cameras:
# an image by the upload address StartFirmwareUpgrade gives, one inside
# UpgradeSystemFirmware (MTOM) for a camera that offers only that, an
# upload the camera cuts half-way (found again, its old version reported,
# not assumed), a camera that never comes back (a bounded wait and a clear
# failure), files that must not be sent at all, and reboot / reset --soft
# with and without a terminal to confirm on.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"
# shellcheck source=lib/checks.sh
. "$here/lib/checks.sh"

lab_require_programs orvanta-cli orvanta-netadmin
lab_onvif_start ovfw
T="$LAB_TMP"
failures=0

lab_new_pc
lab_pc_card eth0 main 10.98.1.1/24
printf 'Lab pass 1\n' >"$T/pw"
head -c 3000000 /dev/urandom >"$T/image.bin"
size=$(stat -c %s "$T/image.bin")

# name, address, the emulator's switches.
cat >"$T/cameras" <<'TABLE'
good   10.98.1.20/24
mtom   10.98.1.21/24 --no-call StartFirmwareUpgrade
cut    10.98.1.22/24 --firmware-fault cut
never  10.98.1.23/24 --firmware-fault never-back
files  10.98.1.24/24
boot   10.98.1.25/24
TABLE
declare -A addr
n=0
while read -r name address opts; do
    n=$((n + 1))
    lab_add_camera_on main "$name" "$address"
    # shellcheck disable=SC2086
    lab_start_bg "$name" "$T/$name.log" "$sim" --uuid "$(printf 'urn:uuid:7b5e0000-0000-4000-8000-%012d' "$n")" \
        --password-file "$T/pw" --check-replies --firmware-down-seconds 2 --state "$T/$name.state" $opts
    addr[$name]="${address%/*}"
done <"$T/cameras"
for name in "${!addr[@]}"; do
    lab_wait_port "$name" tcp 80 15 || { echo "emulated camera $name did not start" >&2; exit 1; }
done

jq1() {  # jq1 EXPR FILE: a field of a JSON object
    /usr/bin/python3 -c "import json,sys; o=json.load(open(sys.argv[2])); print(json.dumps(eval(sys.argv[1])))" \
        "$1" "$2" 2>/dev/null || echo "<not JSON>"
}
state() {  # state NAME KEY: the first camera's KEY in the emulator's state file
    /usr/bin/python3 -c "import json,sys; print(json.load(open(sys.argv[1]))['cameras'][0].get(sys.argv[2]))" \
        "$T/$1.state" "$2" 2>/dev/null
}
firmware() {  # firmware NAME [options]: onvif firmware, JSON into $T/NAME.json, stderr kept; the exit status echoed
    local name="$1"; shift
    lab_exec pc "$bin/orvanta-cli" onvif firmware "${addr[$name]}" --user admin --password-file "$T/pw" \
        --format json "$@" >"$T/$name.json" 2>"$T/$name.err" </dev/null
    echo $?
}

check "an image by the upload address: exit 0, the new version read back, every byte counted by the camera" \
    "0 \"2.6.0\" \"2.6.1\" \"StartFirmwareUpgrade\" $size" \
    "$(firmware good --file "$T/image.bin") $(jq1 'o["before"]' "$T/good.json") $(jq1 'o["after"]' "$T/good.json") $(jq1 'o["method"]' "$T/good.json") $(state good firmware_bytes)"
# On a terminal the progress is one bar redrawn in place.
lab_exec pc script -qec "$bin/orvanta-cli onvif firmware ${addr[good]} --file $T/image.bin --user admin --password-file $T/pw" \
    "$T/tty-firmware.log" >/dev/null 2>&1 </dev/null
check "progress on a terminal: a bar redrawn in place up to 100%, then the restart" \
    "yes yes" "$(grep -q $'\r\\[#\\{30\\}\\] 100%' "$T/tty-firmware.log" && echo yes) $(grep -q 'waiting for the camera to restart' "$T/tty-firmware.log" && echo yes)"
check "progress without a terminal: a line per tenth, then the restart" \
    "yes yes" "$(grep -q '^uploaded 50% ' "$T/good.err" && echo yes) $(grep -q '^waiting for the camera to restart$' "$T/good.err" && echo yes)"
check "only UpgradeSystemFirmware: the image as an MTOM attachment, the new version read back" \
    "0 \"2.6.1\" \"UpgradeSystemFirmware\" $size" \
    "$(firmware mtom --file "$T/image.bin") $(jq1 'o["after"]' "$T/mtom.json") $(jq1 'o["method"]' "$T/mtom.json") $(state mtom firmware_bytes)"
check "an upload cut half-way: found again and its old version reported, exit 1" \
    "1 \"2.6.0\" false" \
    "$(firmware cut --file "$T/image.bin") $(jq1 'o["after"]' "$T/cut.json") $(jq1 'o["upload_complete"]' "$T/cut.json")"
check "... and stderr says the upload ended early and the version did not change" \
    "yes" "$(grep -q 'runs 2.6.0 still.*upload ended early' "$T/cut.err" && echo yes || cat "$T/cut.err")"
started=$(date +%s)
check "a camera that never comes back: exit 4 within the wait it was given" \
    "4 \"\"" "$(firmware never --file "$T/image.bin" --wait-seconds 4) $(jq1 'o["after"]' "$T/never.json")"
check "... saying so, with its version unknown" \
    "yes" "$(grep -q 'did not come back within 6 s, so its firmware version is unknown' "$T/never.err" && echo yes || cat "$T/never.err")"
check "... and the wait is bounded" "yes" "$([ $(($(date +%s) - started)) -lt 30 ] && echo yes)"

mkdir "$T/folder"
mkfifo "$T/pipe"
truncate -s $((256 * 1024 * 1024 + 1)) "$T/huge.bin"
: >"$T/empty.bin"
for f in folder pipe huge.bin empty.bin /dev/zero; do
    case "$f" in /*) path="$f" ;; *) path="$T/$f" ;; esac
    check "not sent: $f (exit 2)" 2 "$(firmware files --file "$path")"
done
check "... the camera was not even asked" 0 "$(grep -c 'StartFirmwareUpgrade' "$T/files.log")"
check "a camera already at --expect-version is left alone, exit 0" \
    "0 true 0" "$(firmware files --file "$T/image.bin" --expect-version 2.6.0) $(jq1 'o["skipped"]' "$T/files.json") $(grep -c 'StartFirmwareUpgrade' "$T/files.log")"
check "--expect-version that the image does not bring: exit 1" \
    "1 \"2.6.1\"" "$(firmware files --file "$T/image.bin" --expect-version 9.9) $(jq1 'o["after"]' "$T/files.json")"

restart() {  # restart reboot|reset [options]: the exit status
    local what="$1"; shift
    lab_exec pc "$bin/orvanta-cli" onvif "$what" "${addr[boot]}" --user admin --password-file "$T/pw" "$@" \
        >"$T/boot-$what.out" 2>"$T/boot-$what.err" </dev/null
    echo $?
}
check "reboot from a script without --yes: refused, nothing sent" \
    "2 0" "$(restart reboot) $(grep -c 'SystemReboot' "$T/boot.log")"
check "... saying why" "yes" "$(grep -q 'give --yes' "$T/boot-reboot.err" && echo yes || cat "$T/boot-reboot.err")"
# On a terminal (script gives the command a pty): asked first, and "n" sends nothing.
printf 'n\n' | lab_exec pc script -qec "$bin/orvanta-cli onvif reboot ${addr[boot]} --user admin --password-file $T/pw" \
    "$T/tty-reboot.log" >/dev/null 2>&1
check "reboot on a terminal asks first; no sends nothing" \
    "yes 0" "$(grep -q 'Restart the camera at .*\[y/N\]' "$T/tty-reboot.log" && echo yes) $(grep -c 'SystemReboot' "$T/boot.log")"
check "reboot --yes: exit 0 once the camera answers again" "0 1" "$(restart reboot --yes) $(state boot reboots)"
lab_exec pc "$bin/orvanta-cli" onvif set "${addr[boot]}" --user admin --password-file "$T/pw" --hostname renamed \
    >/dev/null 2>&1
check "reset without --soft: refused" 2 "$(restart reset --yes)"
check "reset --soft --yes: settings back, network kept, exit 0" \
    "0 labcam ${addr[boot]} 1" "$(restart reset --soft --yes) $(state boot hostname) $(state boot address) $(state boot factory_defaults)"

# A plan upgrades a fleet: 20 cameras (one emulator process) behind a link
# shaped to 100 Mbit/s, eight uploading at once. Wall time and bytes against
# the link's limit are printed for the record. Then a plan where one camera
# never comes back: it fails its row alone.
fleet=20
lab_add_camera_on main fleet 10.98.1.100/24
lab_start_bg fleet "$T/fleet.log" "$sim" --address 10.98.1.100/24 --count "$fleet" --uuid \
    urn:uuid:7c5e0000-0000-4000-8000-000000000000 --password-file "$T/pw" --firmware-down-seconds 2 \
    --state "$T/fleet.state"
lab_add_camera_on main stuck 10.98.1.130/24
lab_start_bg stuck "$T/stuck.log" "$sim" --uuid urn:uuid:7c5e0000-0000-4000-8000-0000000000ff \
    --password-file "$T/pw" --firmware-down-seconds 2 --firmware-fault never-back --state "$T/stuck.state"
lab_wait_port fleet tcp 80 15 && lab_wait_port stuck tcp 80 15 || { echo "the fleet did not start" >&2; exit 1; }
mkdir -p "$T/plan"
image=4194304
head -c "$image" /dev/urandom >"$T/plan/image.bin"
{
    echo "kind,address,firmware_file,firmware_version"
    for i in $(seq 0 $((fleet - 1))); do echo "onvif,10.98.1.$((100 + i)),image.bin,2.6.1"; done
} >"$T/plan/fleet.csv"
{
    echo "kind,address,firmware_file,firmware_version"
    echo "onvif,10.98.1.130,image.bin,2.6.1"
    echo "onvif,${addr[good]},image.bin,2.6.3"
    echo "onvif,${addr[mtom]},image.bin,2.6.1"
} >"$T/plan/mixed.csv"
provision() {  # provision PLAN: the exit status and the count of each row status
    lab_exec pc "$bin/orvanta-cli" provision "$T/plan/$1.csv" --user admin --password-file "$T/pw" --parallel 8 \
        --search-seconds 3 --refind-seconds 8 --format json --report "$T/$1-report.json" >"$T/$1.out" 2>"$T/$1.err" </dev/null
    echo "$? $(/usr/bin/python3 -c "import json,sys,collections; print(sorted(collections.Counter(r['status'] for r in json.load(open(sys.argv[1]))).items()))" "$T/$1-report.json" 2>/dev/null)"
}
ip netns exec "$(lab_ns pc)" tc qdisc add dev eth0 root tbf rate 100mbit burst 128kb latency 200ms
started=$(date +%s.%N)
check "a plan upgrades the fleet, eight at once" "0 [('done', $fleet)]" "$(provision fleet)"
wall=$(echo "$(date +%s.%N) - $started" | bc)
ip netns exec "$(lab_ns pc)" tc qdisc del dev eth0 root
bytes="$(/usr/bin/python3 -c "import json,sys; print(sum(c.get('firmware_bytes', 0) for c in json.load(open(sys.argv[1]))['cameras']))" "$T/fleet.state")"
versions="$(/usr/bin/python3 -c "import json,sys; print(sorted(set(c['firmware'] for c in json.load(open(sys.argv[1]))['cameras'])))" "$T/fleet.state")"
check "... every camera of the fleet runs the new version, each took the image once" \
    "['2.6.1'] $((fleet * image))" "$versions $bytes"
rows="$(/usr/bin/python3 -c "import json,sys; s=sorted(float(r['seconds']) for r in json.load(open(sys.argv[1]))); print(f'{s[0]:.1f}-{s[-1]:.1f}')" "$T/fleet-report.json" 2>/dev/null)"
echo "measure: firmware to $fleet cameras from a plan, --parallel 8, link shaped to 100 Mbit/s: ${wall} s wall" \
    "(each row ${rows} s)" \
    "(3 s of search included), $bytes image bytes, $(echo "scale=1; $bytes * 8 / $wall / 1000000" | bc) Mbit/s" \
    "over the whole run; the image alone needs $(echo "scale=1; $bytes * 8 / 100000000" | bc) s at the link's limit"
check "one camera never comes back: its row alone fails, the next is upgraded, the one at the version left alone" \
    "1 [('done', 1), ('unchanged', 1), ('unreachable', 1)]" "$(provision mixed)"

# The window: Upgrade Firmware… on the finish page, the wait window's bar
# followed over a link slow enough to watch (20 Mbit/s for 8 MiB), the
# version read back. Its pictures go to <build>/test-artifacts/firmware.
if [ -x "$bin/firmware_window_guiprog" ]; then
    shots="${ORVANTA_BUILD_DIR:-$T}/test-artifacts/firmware"
    mkdir -p "$shots"
    head -c 8388608 /dev/urandom >"$T/window-image.bin"
    ip netns exec "$(lab_ns pc)" tc qdisc add dev eth0 root tbf rate 20mbit burst 32kb latency 400ms
    lab_exec pc env QT_QPA_PLATFORM=offscreen HOME="$T" ORVANTA_SOURCE_DIR="$here/../.." \
        ORVANTA_TEST_CAMERA="${addr[boot]}" ORVANTA_TEST_PASSWORD="Lab pass 1" ORVANTA_TEST_IMAGE="$T/window-image.bin" \
        ORVANTA_TEST_SHOTS="$shots" "$bin/firmware_window_guiprog" >"$T/window.out" 2>&1
    rc=$?
    ip netns exec "$(lab_ns pc)" tc qdisc del dev eth0 root
    check "window: the upgrade runs behind the wait window's bar and the new version is shown" \
        "0 2.6.1" "$rc $(state boot firmware)"
    [ "$rc" = 0 ] || tail -n 20 "$T/window.out"
    grep '^firmware ' "$T/window.out"
    echo "screenshots in $shots"
fi

check "every request from the PC matches the ONVIF schemas" 0 "$(cat "$T"/*.log | grep -c 'schema-invalid')"
check "the emulator's own replies match the schemas" 0 "$(cat "$T"/*.log | grep -c 'reply-invalid')"
lab_finish onvif-firmware
