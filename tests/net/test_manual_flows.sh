#!/usr/bin/env bash
# The manual setup path of the wizard in the lab: the wizard (offscreen) in
# the PC namespace sets up two installed simulated cameras page by page, one
# with a fixed LAN address and a WPA2 wireless link, one dialling by PPPoE,
# and saves. Checks what each camera stored and what its requests carried.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"

lab_require_programs orvanta-camsim manual_flow_guiprog
export ORVANTA_SOURCE_DIR="${ORVANTA_SOURCE_DIR:-$(cd "$here/../.." && pwd)}"

lab_init ovm
lab_tmpdir
T="$LAB_TMP"
lab_add_pc 10.97.0.1/24
lab_add_camera lan 10.97.0.10/24
lab_add_camera dsl 10.97.0.20/24

start_cam() {  # start_cam NAME IP MAC
    local name="$1" ip="$2" mac="$3"
    printf 'IPAddr=%s\nNetmask=255.255.255.0\nTitleBar=Old name\nMAC=%s\n' "$ip" "$mac" >"$T/$name.conf"
    lab_start_bg "$name" "$T/$name.log" "$bin/orvanta-camsim" --config "$T/$name.conf" --mac "$mac" \
        --request-log "$T/$name.req" --ap "Lab Net,00:11:22:33:44:55,Infra,6,80,WPA2-PSK,AES"
    lab_wait_port "$name" tcp 80 10 || { echo "camera $name did not start" >&2; cat "$T/$name.log" >&2; exit 1; }
    lab_wait_port "$name" udp 49160 10 || { echo "camera $name does not answer searches" >&2; exit 1; }
}
start_cam lan 10.97.0.10 02:00:00:97:00:0a
start_cam dsl 10.97.0.20 02:00:00:97:00:14

rc=0
lab_exec pc env QT_QPA_PLATFORM=offscreen HOME="$T" XDG_RUNTIME_DIR="$T" \
    ORVANTA_TEST_MANUAL_LAN=10.97.0.10 ORVANTA_TEST_MANUAL_PPPOE=10.97.0.20 \
    ORVANTA_TEST_MANUAL_OUT="$T/clock.txt" \
    "$bin/manual_flow_guiprog" || rc=1

failures=0
# Wired and wireless: the record holds IPType 1, but a save with the wireless
# link chosen sends the camera IP type 3 with the wired addresses.
lab_stored lan "TitleBar=Lab Cam 7" "Desp=Hall & stairs" "NTPEN=0" \
    "IPType=3" "IPAddr=10.97.0.10" "Netmask=255.255.255.0" "Gateway=10.97.0.254" "DNS1=10.97.0.53" \
    "DNS2=10.97.0.54" "SSID=Lab Net" "WireType=1" "WireSec=3" "WPAEnc=0" "WPAKey=wpa key&=12345" "WireCh=0" \
    "WIPType=0" "UPnPE=0" "HttpPort=80" "RTPPort=8000" "RTSPPort=8554" \
    "DDNS=1" "DDNSHost=labcam.example" "DDNSUser=ddns-user" "DDNSPwd=ddns-pw"
if [ -s "$T/clock.txt" ]; then
    # The PC's clock as the wizard read it, and it is today's date.
    mapfile -t clock <"$T/clock.txt"
    lab_stored lan "${clock[@]}"
    [ "${clock[0]}" = "Date=$(date +%Y/%m/%d)" ] || [ "${clock[0]}" = "Date=$(date -d '1 minute ago' +%Y/%m/%d)" ] ||
        { echo "FAIL the date taken was ${clock[0]}, not today's"; failures=$((failures + 1)); }
    grep -qE '^Time=[0-2][0-9]:[0-5][0-9]:[0-5][0-9]$' "$T/clock.txt" ||
        { echo "FAIL the time taken is not hh:mm:ss"; failures=$((failures + 1)); }
else
    echo "FAIL the wizard left no record of the clock it took"; failures=$((failures + 1))
fi
lab_sent lan "/cgi-bin/config_sysinfo.cgi" "TitleBar=Lab%20Cam%207&Desp=Hall%20%26%20stairs" \
    "IPType=3&IPAddr=10.97.0.10&Netmask=255.255.255.0&Gateway=10.97.0.254&DNS1=10.97.0.53&DNS2=10.97.0.54&WIPType=0" \
    "WireType=1&WireSec=3&SSID=Lab%20Net&WireCh=0" "WPAKey=wpa%20key%26%3D12345&WPAEnc=0" \
    "UPnPE=0&PAccount=&PPwd=&PVP=&HttpPort=80&RTPPort=8000&RTSPPort=8554" \
    "DDNS=1&DDNSUser=ddns-user&DDNSPwd=ddns-pw&DDNSHost=labcam.example" "NTPEN=0&"

# PPPoE: the account and its confirmation, NTP in zone 13 every six hours.
lab_stored dsl "IPType=2" "PAccount=dsl user" "PPwd=Dsl&Pw=1" "PVP=Dsl&Pw=1" \
    "NTPEN=1" "NTPName=ntp.lab.example" "Timezone=13" "NTPPoll=6"
lab_sent dsl "IPType=2&" "PAccount=dsl%20user&PPwd=Dsl%26Pw%3D1&PVP=Dsl%26Pw%3D1" \
    "NTPEN=1&NTPName=ntp.lab.example&NTPPoll=6&Timezone=13"

if [ "$rc" = 0 ] && [ "$failures" = 0 ]; then
    echo "ok   manual path: LAN fixed with WPA2 wireless, and PPPoE"
    exit 0
fi
echo "requests to the LAN camera:" >&2; cat "$T/lan.req" >&2
exit 1
