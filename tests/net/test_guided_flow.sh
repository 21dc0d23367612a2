#!/usr/bin/env bash
# Guided setup flows of the real wizard window (offscreen, scripted answers)
# from the lab's PC namespace against simulated cameras in their own
# namespaces: the LAN path to a fixed address in another subnet and back by
# serial, a camera with a root password, a camera that never finishes
# answering, and one that is never found again after the save. Each flow
# then checks what the simulated camera stored or was asked.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"

bin="${ORVANTA_BIN_DIR:?ORVANTA_BIN_DIR must name the built programs}"
export ORVANTA_SOURCE_DIR="${ORVANTA_SOURCE_DIR:-$(cd "$here/../.." && pwd)}"
for p in orvanta-camsim orvanta-netadmin guided_flow_guiprog; do
    [ -x "$bin/$p" ] || { echo "missing $bin/$p" >&2; exit 1; }
done

lab_init ovf
lab_tmpdir
T="$LAB_TMP"
lab_add_pc 10.97.0.1/24
lab_add_camera cam 10.97.0.10/24
lab_add_camera lock 10.97.0.20/24
lab_add_camera mute 10.97.0.30/24
lab_add_camera gone 10.97.0.40/24

start_cam() {  # start_cam NAME args...
    local name="$1"; shift
    lab_start_bg "$name" "$T/$name.log" "$bin/orvanta-camsim" "$@"
    lab_wait_port "$name" tcp 80 10 || { echo "camera $name did not start" >&2; cat "$T/$name.log" >&2; exit 1; }
}

# Text settings at their record's full width, some of them longer than the
# pages let anyone type, with characters of two and three bytes: the guided
# save must write them back exactly as read.
ddns_host="$(printf 'h%.0s' $(seq 185))$(printf '\xc3\xa9%.0s' $(seq 35))"   # 255 bytes, 220 characters
ddns_user="$(printf 'u%.0s' $(seq 30))$(printf '\xe5\xaf\x86%.0s' $(seq 11))"  # 63 bytes
ddns_pwd="$(printf '\xe5\xaf\x86%.0s' $(seq 21))"                              # 63 bytes, 21 characters
title="$(printf 't%.0s' $(seq 3))$(printf '\xe6\xbc\xa2%.0s' $(seq 20))"          # 63 bytes
printf 'IPAddr=10.97.0.10\nNetmask=255.255.255.0\nSerialNo=SN-OVF-1\nMAC=02:00:00:97:00:0a\n' >"$T/cam.conf"
printf 'DDNSHost=%s\nDDNSUser=%s\nDDNSPwd=%s\nTitleBar=%s\n' "$ddns_host" "$ddns_user" "$ddns_pwd" "$title" >>"$T/cam.conf"
start_cam cam --config "$T/cam.conf" --mac 02:00:00:97:00:0a --serial SN-OVF-1 --iface eth0 \
    --readdress-delay-ms 300 --request-log "$T/cam.req"
printf 'IPAddr=10.97.0.20\nSerialNo=SN-OVF-2\n' >"$T/lock.conf"
start_cam lock --no-discovery --config "$T/lock.conf" --mac 02:00:00:97:00:14 --root-password 'r00t pw' \
    --request-log "$T/lock.req"
printf 'IPAddr=10.97.0.30\nTitleBar=Untouched\n' >"$T/mute.conf"
start_cam mute --no-discovery --config "$T/mute.conf" --mac 02:00:00:97:00:1e \
    --misbehave drip --drip-ms 500 --misbehave-path config_network \
    --request-log "$T/mute.req"
printf 'IPAddr=10.97.0.40\nSerialNo=SN-OVF-4\n' >"$T/gone.conf"
start_cam gone --no-discovery --config "$T/gone.conf" --mac 02:00:00:97:00:28 --request-log "$T/gone.req"

failures=0
check() {  # check NAME command...   (OVF_ONLY=word runs only the checks naming it)
    local name="$1"; shift
    case "$name" in *"${OVF_ONLY:-}"*) ;; *) return 0 ;; esac
    local start=$SECONDS
    if "$@"; then echo "ok   $name ($((SECONDS - start)) s)"; else echo "FAIL $name"; failures=$((failures + 1)); fi
}
has() { grep -qxF -- "$2" "$1"; }  # has FILE LINE

flow() {  # flow FUNCTION IP MAC SERIAL [VAR=VALUE ...]
    local fn="$1" ip="$2" mac="$3" serial="$4"; shift 4
    lab_exec pc env QT_QPA_PLATFORM=offscreen OVF_CAM_IP="$ip" OVF_CAM_MAC="$mac" OVF_CAM_SERIAL="$serial" "$@" \
        "$bin/guided_flow_guiprog" "$fn" >"$T/$fn.out" 2>&1
    local rc=$?
    [ $rc = 0 ] || grep -v QWARN "$T/$fn.out" | tail -${OVF_TAIL:-30} >&2
    sed -n 's/^window-thread-away \([A-Za-z]*\) longest=\([0-9]*\) ms$/note the window'"'"'s thread was away from its event loop for at most \2 ms in \1/p' "$T/$fn.out"
    return $rc
}

# The LAN path: the camera takes a fixed address in another subnet, is found
# again there by its serial, and the finished page shows that address; the
# full-width texts it was read with come back whole.
lan_path() {
    flow lanPath 10.97.0.10 02:00:00:97:00:0a SN-OVF-1 OVF_NEW_IP=10.98.0.50 || return 1
    has "$T/cam.conf" "IPAddr=10.98.0.50" && has "$T/cam.conf" "IPType=1" &&
        has "$T/cam.conf" "Netmask=255.255.255.0" && has "$T/cam.conf" "Gateway=10.98.0.1" &&
        has "$T/cam.conf" "DNS1=10.98.0.1" &&
        has "$T/cam.conf" "DDNSHost=$ddns_host" && has "$T/cam.conf" "DDNSUser=$ddns_user" &&
        has "$T/cam.conf" "DDNSPwd=$ddns_pwd" && has "$T/cam.conf" "TitleBar=$title" &&
        grep -q '^/cgi-bin/config_ddns.cgi?Act=2.*DDNSPwd=' "$T/cam.req" &&
        grep -q '^/cgi-bin/config_sysinfo.cgi?Act=2.*TitleBar=' "$T/cam.req" &&
        # The wizard's alias in the new subnet is gone again once it closed.
        ! lab_exec pc ip -4 addr show dev eth0 | grep -q '10\.98\.0\.'
}
check "guided LAN path to another subnet" lan_path

# A root password: a wrong one is refused with the login message, the right
# one reads the camera.
root_password() {
    flow rootPassword 10.97.0.20 02:00:00:97:00:14 SN-OVF-2 OVF_ROOT_PASSWORD='r00t pw' || return 1
    grep -q 'config_ddns' "$T/lock.req" && ! grep -q 'Act=2' "$T/lock.req"
}
check "root password: refused, then read" root_password

# A camera that stalls in the middle of the read (its network page comes a
# byte at a time): the read is given up, nothing is written to it.
never_answers() {
    flow cameraNeverAnswers 10.97.0.30 02:00:00:97:00:1e SN-OVF-3 || return 1
    has "$T/mute.conf" "TitleBar=Untouched" && grep -q 'config_network' "$T/mute.req" && ! grep -q 'Act=2' "$T/mute.req"
}
check "camera that never answers the read" never_answers

# Saved, but never seen again: the save arrived, then the first page.
never_back() {
    flow cameraNeverComesBack 10.97.0.40 02:00:00:97:00:28 SN-OVF-4 || return 1
    grep -q 'config_network' "$T/gone.req" && grep -q 'config_sysinfo' "$T/gone.req"
}
check "camera never found again after the save" never_back

echo "$((4 - failures)) passed, $failures failed"
[ "$failures" = 0 ]
