#!/usr/bin/env bash
# Setting up twenty cameras from one plan, in the lab: half of them in
# another subnet than the PC (reached through one temporary address), some
# with a root password, one whose password the plan gets wrong, one that
# never comes back after its save, one that already matches. The report's
# statuses are checked against what each simulated camera stored, and a
# second run only does what is left.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"

lab_require_programs orvanta-camsim orvanta-cli orvanta-netadmin

lab_init ovp
lab_tmpdir
T="$LAB_TMP"
lab_add_pc 10.94.0.1/24
failures=0

# cam1..cam10 sit in the PC's subnet, cam11..cam20 in 192.168.94.0/24.
# Every plan row moves its camera to 10.94.0.(100+i) with a new title.
lab_start_cameras() {  # lab_start_cameras FIRST LAST
    local i addr
    for i in $(seq "$1" "$2"); do
        if [ "$i" -le 10 ]; then addr="10.94.0.$((10 + i))"; gw=10.94.0.1; else addr="192.168.94.$((10 + i))"; gw=192.168.94.1; fi
        local extra=() conf="IPType=1\nIPAddr=$addr\nNetmask=255.255.255.0\nGateway=$gw\nTitleBar=Boxed $i\n"
        case "$i" in
            3 | 13) extra=(--root-password "pw $i") ;;
            5) extra=(--root-password right) ;;
            9)  # already as planned
                addr=10.94.0.109 conf="IPType=1\nIPAddr=10.94.0.109\nNetmask=255.255.255.0\nGateway=10.94.0.1\nTitleBar=Site cam 9\n" ;;
        esac
        local mac; mac="$(printf '02:00:00:94:00:%02x' "$i")"
        printf "${conf}MAC=$mac\nSerialNo=SN-P-$i\n" >"$T/cam$i.conf"
        lab_add_camera "cam$i" "$addr/24"
        # cam7 keeps its old address after the save and falls silent: it never comes back.
        local move=(--iface eth0 --readdress-delay-ms 300)
        [ "$i" = 7 ] && move=()
        lab_start_bg "cam$i" "$T/cam$i.log" "$bin/orvanta-camsim" --config "$T/cam$i.conf" --mac "$mac" \
            --serial "SN-P-$i" --request-log "$T/cam$i.req" "${move[@]}" "${extra[@]}"
        eval "pid_cam$i=$LAB_LAST_PID"
    done
    for i in $(seq "$1" "$2"); do
        lab_wait_port "cam$i" tcp 80 10 || { echo "camera cam$i did not start" >&2; exit 1; }
    done
}
lab_start_cameras 1 20

{
    echo "mac,serial,ip_type,ip_address,netmask,gateway,title,user,password"
    for i in $(seq 1 20); do
        mac="$(printf '02:00:00:94:00:%02x' "$i")" serial="" user="" pw=""
        [ "$i" = 12 ] && { mac=""; serial="SN-P-12"; }   # found by serial alone
        case "$i" in 3 | 13) user=root pw="pw $i" ;; 5) user=root pw=wrong ;; esac
        echo "$mac,$serial,1,10.94.0.$((100 + i)),255.255.255.0,10.94.0.1,Site cam $i,$user,$pw"
    done
} >"$T/plan.csv"

cli() { lab_exec pc "$bin/orvanta-cli" "$@"; }
writes() { grep -c 'Act=2' "$T/$1.req" 2>/dev/null; }  # writes CAMERA: how many writes it took

# The dry run reads every camera it can and writes to none.
dry_run() {
    cli provision "$T/plan.csv" --dry-run --search-seconds 10 >"$T/dry.out" 2>"$T/dry.err"
    grep -qF '  ip_address: 10.94.0.11 → 10.94.0.101' "$T/dry.out" &&
        grep -qF '  title: Boxed 13 → Site cam 13' "$T/dry.out" &&
        grep -q '^02:00:00:94:00:09 (10.94.0.109): unchanged$' "$T/dry.out" &&
        grep -q '^02:00:00:94:00:05 .*: refused' "$T/dry.out" &&
        ! grep -q 'Act=2' "$T"/cam*.req || { cat "$T/dry.out" "$T/dry.err" >&2; return 1; }
}
lab_check "dry run lists the changes and writes nothing" dry_run

# A camera in the PC's own subnet that reports the mask 0.0.0.0 is reached
# on the PC's connected route: no temporary address, no route beside it.
zero_mask() {
    printf 'IPType=1\nIPAddr=10.94.0.77\nNetmask=0.0.0.0\nGateway=10.94.0.1\nTitleBar=Zero mask\nMAC=02:00:00:94:00:77\nSerialNo=SN-P-77\n' >"$T/camz.conf"
    lab_add_camera camz 10.94.0.77/24
    lab_start_bg camz "$T/camz.log" "$bin/orvanta-camsim" --config "$T/camz.conf" --mac 02:00:00:94:00:77 \
        --serial SN-P-77 --request-log "$T/camz.req"
    lab_wait_port camz tcp 80 10 || return 1
    printf 'mac,title\n02:00:00:94:00:77,Site cam 77\n' >"$T/planz.csv"
    ip -n "$LAB_PC" monitor address route >"$T/monitor.txt" 2>&1 &
    local monitor=$!
    cli provision "$T/planz.csv" --dry-run --search-seconds 5 >"$T/dryz.out" 2>&1
    kill "$monitor"
    grep -qF '02:00:00:94:00:77 (10.94.0.77): would-change' "$T/dryz.out" &&
        grep -qF '  title: Zero mask → Site cam 77' "$T/dryz.out" && ! grep -q 'inet\|proto 79' "$T/monitor.txt" ||
        { cat "$T/dryz.out" "$T/monitor.txt" >&2; return 1; }
}
lab_check "a camera of the PC's subnet reporting mask 0.0.0.0: read without a temporary address" zero_mask

# An office PC, whose default route leads to a router on eth0: the cameras
# of another subnet are reached through one temporary address, each by a
# host route of its own, and the subnet is not taken from the router.
office() {
    ip -n "$LAB_PC" route add default via 10.94.0.254 dev eth0
    { head -1 "$T/plan.csv"; grep -i '^02:00:00:94:00:0[bde],' "$T/plan.csv"; } >"$T/plan-office.csv"
    ip -n "$LAB_PC" monitor route >"$T/office-routes.txt" 2>&1 &
    local monitor=$!
    cli provision "$T/plan-office.csv" --dry-run --search-seconds 10 >"$T/dry-office.out" 2>&1
    kill "$monitor"
    ip -n "$LAB_PC" route del default
    local added; added="$(grep -v '^Deleted' "$T/office-routes.txt" | grep 'proto 79' | cut -d' ' -f1 | sort | tr '\n' ' ')"
    [ "$(grep -c ': would-change$' "$T/dry-office.out")" = 3 ] &&
        [ "$added" = "192.168.94.21 192.168.94.23 192.168.94.24 " ] || { cat "$T/dry-office.out" "$T/office-routes.txt" >&2; return 1; }
}
lab_check "an office PC: three cameras of another subnet, one address, a host route each" office

# A Wi-Fi-style card already in cam11's subnet: the dry run takes no address
# there and says why, without asking the helper (there is none to ask).
ip -n "$LAB_PC" link add wlan0 type veth peer name wlan0p
ip -n "$LAB_PC" addr add 192.168.94.200/24 dev wlan0
ip -n "$LAB_PC" link set wlan0 up && ip -n "$LAB_PC" link set wlan0p up
{ head -1 "$T/plan.csv"; grep -i '^02:00:00:94:00:0b,' "$T/plan.csv"; } >"$T/plan11.csv"
overlap() {
    ORVANTA_NETADMIN=/nonexistent cli provision "$T/plan11.csv" --dry-run --search-seconds 10 >"$T/dry11.out" 2>&1
    grep -qiF '02:00:00:94:00:0b (192.168.94.21): unreachable - 192.168.94.0/24 is the network of wlan0; reaching a camera there would disturb it' \
        "$T/dry11.out" && ! ip -n "$LAB_PC" -4 addr show dev eth0 | grep -q 192.168.94 || { cat "$T/dry11.out" >&2; return 1; }
}
lab_check "dry run beside a card in the camera's subnet: refused with the reason" overlap
ip -n "$LAB_PC" link del wlan0

# cam7 falls silent once its network write arrived.
( for _ in $(seq 1 1200); do
      grep -q 'config_network.cgi?Act=2' "$T/cam7.req" 2>/dev/null && { kill -USR1 "$pid_cam7"; exit 0; }
      sleep 0.05
  done ) &
LAB_PIDS+=($!)

run() {
    cli provision "$T/plan.csv" --parallel 4 --search-seconds 10 --refind-seconds 12 --format json \
        --report "$T/report.json" >"$T/run.out" 2>"$T/run.err"
    local rc=$?
    [ "$rc" = 1 ] || { echo "exit $rc, expected 1" >&2; cat "$T/run.err" >&2; return 1; }
    python3 - "$T/report.json" <<'PY'
import json, sys
rows = {r["camera"]: r for r in json.load(open(sys.argv[1]))}
def st(i):
    key = "SN-P-12" if i == 12 else "02:00:00:94:00:%02X" % i
    return rows[key]
bad = []
for i in range(1, 21):
    want = {5: "refused", 7: "failed", 9: "unchanged"}.get(i, "done")
    r = st(i)
    if r["status"] != want: bad.append((i, want, r))
    if want == "done" and r["new_address"] != "10.94.0.%d" % (100 + i): bad.append((i, "address", r))
assert not bad, bad
assert st(11)["old_address"] == "192.168.94.21", st(11)
assert all(isinstance(r["seconds"], (int, float)) for r in rows.values()), rows
PY
}
lab_check "run: statuses as planned" run

stored() {
    local i
    for i in $(seq 1 20); do
        case "$i" in
            5) lab_stored cam5 "IPAddr=10.94.0.15" "TitleBar=Boxed 5" ;;
            *) lab_stored "cam$i" "IPAddr=10.94.0.$((100 + i))" "TitleBar=Site cam $i" "Gateway=10.94.0.1" ;;
        esac
    done
    [ "$(writes cam9)" = 0 ] && [ "$(writes cam5)" = 0 ]
}
lab_check "each camera stored what its status says" stored

# No temporary address is left on the PC.
no_alias() { ! lab_exec pc ip -4 addr show dev eth0 2>/dev/null | grep -q '192.168.94'; }
lab_check "temporary address removed" no_alias

# A second run does only what is left: nothing is written again.
again() {
    local before; before="$(cat "$T"/cam*.req | grep -c 'Act=2')"
    cli provision "$T/plan.csv" --search-seconds 8 --format csv >"$T/again.csv" 2>"$T/again.err"
    grep -q '^02:00:00:94:00:01,.*,unchanged,' "$T/again.csv" && grep -q '^02:00:00:94:00:05,.*,refused,' "$T/again.csv" &&
        grep -q '^02:00:00:94:00:07,.*,not-found,' "$T/again.csv" &&
        [ "$(cat "$T"/cam*.req | grep -c 'Act=2')" = "$before" ] || { cat "$T/again.csv" >&2; return 1; }
}
lab_check "second run: done cameras unchanged, no write" again

# A faulty plan: every fault named, exit 2, nothing sent to any camera.
bad_plan() {
    printf 'mac,ip_address,colour\n02:00:00:94:00:01,10.94.0.200,red\n02:00:00:94:00:01,10.94.0.300,\n' >"$T/bad.csv"
    local before; before="$(cat "$T"/cam*.req | wc -l)"
    cli provision "$T/bad.csv" 2>"$T/bad.err"
    [ $? = 2 ] && grep -q "unknown column 'colour'" "$T/bad.err" && grep -q 'line 3: names the same camera' "$T/bad.err" &&
        grep -q "line 3: ip_address '10.94.0.300'" "$T/bad.err" && [ "$(cat "$T"/cam*.req | wc -l)" = "$before" ] ||
        { cat "$T/bad.err" >&2; return 1; }
}
lab_check "faulty plan: every problem named, exit 2, nothing sent" bad_plan

# SIGTERM while a temporary address is up: the address goes, exit 143.
# cam11 moves into another subnet and is read back there through a
# temporary address; a camera that is not there keeps the run waiting.
terminated() {
    printf 'mac,ip_address,netmask,gateway\n02:00:00:94:00:0b,192.168.94.111,255.255.255.0,192.168.94.1\n02:00:00:94:00:ff,10.94.0.250,255.255.255.0,\n' >"$T/term.csv"
    lab_start_bg pc "$T/term.log" "$bin/orvanta-cli" provision "$T/term.csv" --search-seconds 120
    local pid=$LAB_LAST_PID i
    for i in $(seq 1 300); do
        lab_exec pc ip -4 addr show dev eth0 2>/dev/null | grep -q 'inet 192.168.94' && break
        sleep 0.1
    done
    lab_exec pc ip -4 addr show dev eth0 2>/dev/null | grep -q 'inet 192.168.94' || { echo "no temporary address came" >&2; return 1; }
    kill -TERM "$pid"
    local rc=0
    wait "$pid" || rc=$?
    [ "$rc" = 143 ] || { echo "exit $rc, expected 143" >&2; cat "$T/term.log" >&2; return 1; }
    ! lab_exec pc ip -4 addr show dev eth0 2>/dev/null | grep -q '192.168.94'
}
lab_check "SIGTERM: temporary address removed, exit 143" terminated

# The window's plan dialog against the same cameras (when the GUI is built).
dialog() {
    printf 'mac,title,ip_address\n02:00:00:94:00:01,Dialog 1,10.94.0.201\n02:00:00:94:00:02,Dialog 2,\n02:00:00:94:00:03,Not chosen,\n02:00:00:94:00:05,Dialog 5,\n' >"$T/dialog.csv"
    printf 'mac,colour\n02:00:00:94:00:01,red\n02:00:00:94:00:01,\n' >"$T/dialog-bad.csv"
    lab_exec pc env QT_QPA_PLATFORM=offscreen HOME="$T" XDG_RUNTIME_DIR="$T" ORVANTA_SOURCE_DIR="$here/../.." \
        ORVANTA_TEST_PLAN="$T/dialog.csv" ORVANTA_TEST_BAD_PLAN="$T/dialog-bad.csv" \
        "$bin/provision_dialog_guiprog" >"$T/dialog.out" 2>&1 || { cat "$T/dialog.out" >&2; return 1; }
    lab_stored cam1 "TitleBar=Dialog 1" "IPAddr=10.94.0.201"
    lab_stored cam2 "TitleBar=Dialog 2"
    lab_stored cam3 "TitleBar=Site cam 3"
    lab_stored cam5 "TitleBar=Boxed 5"
}
if [ -x "$bin/provision_dialog_guiprog" ]; then
    lab_check "plan dialog: chosen cameras checked, then set up" dialog
fi

lab_finish provision
