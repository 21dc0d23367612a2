#!/usr/bin/env bash
# The guided wireless paths of the wizard in the lab: the wizard (offscreen)
# in the PC namespace sets up one simulated camera by picking a WPA2 network
# from the camera's scan and another by WPS, tries WPS on a camera that never
# acknowledges, and meets one whose scan is empty and whose rescan fails.
# Checks what the cameras stored and received.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"

lab_require_programs orvanta-camsim wireless_flow_guiprog
export ORVANTA_SOURCE_DIR="${ORVANTA_SOURCE_DIR:-$(cd "$here/../.." && pwd)}"

lab_init ovw
lab_tmpdir
T="$LAB_TMP"
lab_add_pc 10.96.0.1/24
lab_add_camera scan 10.96.0.10/24
lab_add_camera wps 10.96.0.20/24
lab_add_camera empty 10.96.0.30/24
lab_add_camera nowps 10.96.0.40/24

start_cam() {  # start_cam NAME IP MAC SERIAL args...
    local name="$1" ip="$2" mac="$3" serial="$4"; shift 4
    printf 'IPAddr=%s\nNetmask=255.255.255.0\nMAC=%s\nSerialNo=%s\nWPAKey=old key\n' "$ip" "$mac" "$serial" \
        >"$T/$name.conf"
    lab_start_bg "$name" "$T/$name.log" "$bin/orvanta-camsim" --config "$T/$name.conf" --mac "$mac" \
        --serial "$serial" --request-log "$T/$name.req" "$@"
    lab_wait_port "$name" tcp 80 10 || { echo "camera $name did not start" >&2; cat "$T/$name.log" >&2; exit 1; }
    lab_wait_port "$name" udp 49160 10 || { echo "camera $name does not answer searches" >&2; exit 1; }
}
start_cam scan 10.96.0.10 02:00:00:96:00:0a SN-OVW-SCAN \
    --ap "Home Net,00:11:22:33:44:55,Infra,6,80,WPA-PSK,TKIP" \
    --ap "Office Net,00:11:22:33:44:66,Infra,11,60,WPA2-PSK,AES"
start_cam wps 10.96.0.20 02:00:00:96:00:14 SN-OVW-WPS --wps-after 1 \
    --ap "Home Net,00:11:22:33:44:55,Infra,6,80,WPA2-PSK,AES"
start_cam empty 10.96.0.30 02:00:00:96:00:1e SN-OVW-EMPTY
start_cam nowps 10.96.0.40 02:00:00:96:00:28 SN-OVW-NOWPS --wps-after never \
    --ap "Home Net,00:11:22:33:44:55,Infra,6,80,WPA2-PSK,AES"

rc=0
lab_exec pc env QT_QPA_PLATFORM=offscreen HOME="$T" XDG_RUNTIME_DIR="$T" \
    ORVANTA_TEST_WLAN_SCAN=10.96.0.10 ORVANTA_TEST_WLAN_WPS=10.96.0.20 ORVANTA_TEST_WLAN_EMPTY=10.96.0.30 \
    ORVANTA_TEST_WLAN_NOWPS=10.96.0.40 \
    "$bin/wireless_flow_guiprog" || rc=1

failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
# By scan: the network picked, WPA2 with its key, wireless IP type on the wire.
lab_stored scan "SSID=Office Net" "WireSec=3" "WPAKey=office key&=1" "WPAEnc=0" "WireType=1"
lab_sent scan "/cgi-bin/ap_scan.cgi" "IPType=3&" "SSID=Office%20Net" "WPAKey=office%20key%26%3D1"

# By WPS: start and one status query, then the WPS save: system and DDNS
# written, the time read, the short network form; no wireless key sent.
lab_sent wps "/cgi-bin/wps.cgi" "WPS&WPS_ACK" "/cgi-bin/config_sysinfo.cgi?Act=2" "/cgi-bin/config_ddns.cgi?Act=2" \
    "/cgi-bin/config_time.cgi?Act=1" "/cgi-bin/config_network.cgi?Act=2&Page=3"
grep -q 'WPAKey=\|WEPKey0=\|SSID=' "$T/wps.req" && fail "the WPS save sent wireless settings"
lab_stored wps "WPAKey=old key"

# Never acknowledged: the start four times in all, a status query on each of
# the 12th to the 29th tick.
[ "$(grep -c '^/cgi-bin/wps.cgi' "$T/nowps.req")" = 4 ] || fail "the silent camera did not get the start 4 times"
[ "$(grep -c 'WPS&WPS_ACK' "$T/nowps.req")" = 18 ] || fail "the silent camera did not get 18 status queries"
[ "$(grep -c '^/cgi-bin/wps.cgi' "$T/wps.req")" = 1 ] || fail "the joining camera got the start more than once"

# Empty scan: the read's scan and the rescan's connection attempt to a dead port.
[ "$(grep -c '^/cgi-bin/ap_scan.cgi' "$T/empty.req")" = 1 ] || fail "the empty camera was scanned other than once on its web port"

if [ "$rc" = 0 ] && [ "$failures" = 0 ]; then
    echo "ok   guided wireless: by scan, by WPS, WPS never acknowledged, empty scan with a failed rescan"
    exit 0
fi
for c in scan wps; do echo "requests to $c:" >&2; cat "$T/$c.req" >&2; done
exit 1
