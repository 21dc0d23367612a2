#!/usr/bin/env bash
# Prints how long orvanta-cli read, save and the wizard's read step take
# against cameras that misbehave, and their peak memory, in a private lab
# (nothing reaches the host's interfaces). The simulated cameras come from
# ORVANTA_BIN_DIR; the programs measured from CLIENT_DIR (default the same),
# so an older build can be measured against the same cameras.
#   ORVANTA_BIN_DIR=build/bin [CLIENT_DIR=old/bin] bench/hostile_camera_lab.sh
set -u
src="$(cd "$(dirname "$0")/.." && pwd)"
# shellcheck source=../tests/net/lib/lab.sh
. "$src/tests/net/lib/lab.sh"
lab_require_programs orvanta-camsim
client="${CLIENT_DIR:-$bin}"
export ORVANTA_SOURCE_DIR="$src"
lab_init ovhb
lab_tmpdir
T="$LAB_TMP"
lab_add_pc 10.96.0.1/24

# name|what the wizard's read step should end in|camera options
cameras=(
    "keep-open|read|--misbehave never-close"
    "keep-open, no length|fail|--misbehave never-close --no-content-length"
    "header then silence|fail|--misbehave header-then-silence"
    "a byte a second|fail|--misbehave drip --drip-ms 1000"
    "status words in values|read|"
)
# What the saves send: a read of a camera that behaves.
lab_add_camera good 10.96.0.10/24
printf 'IPAddr=10.96.0.10\n' >"$T/good.conf"
lab_start_bg good "$T/good.log" "$bin/orvanta-camsim" --no-discovery --config "$T/good.conf"
lab_wait_port good tcp 80 10 || { echo "camera did not start" >&2; exit 1; }
lab_exec pc "$bin/orvanta-cli" read 10.96.0.10 >"$T/good.ini" || { echo "no read of the good camera" >&2; exit 1; }
n=10
printf '%-24s | %-22s | %-22s | %s\n' "camera" "read: exit, s, peak KB" "save: exit, s, peak KB" \
    "wizard read step: held/answered ms, s, peak KB"
for entry in "${cameras[@]}"; do
    name="${entry%%|*}"
    rest="${entry#*|}"
    expect="${rest%%|*}"
    opts="${rest#*|}"
    n=$((n + 1))
    ip="10.96.0.$n"
    lab_add_camera "c$n" "$ip/24"
    title=Camera
    ap=()
    printf 'IPAddr=%s\n' "$ip" >"$T/c$n.conf"
    if [ -z "$opts" ]; then
        title="Unauthorized use prohibited"
        printf 'TitleBar=%s\nDesp=404 Not Found in the lobby\nSSID=402 Failure\n' "$title" >>"$T/c$n.conf"
        ap=(--ap "402 Failure,00:11:22:33:44:55,Infra,6,80,WPA-PSK")
    fi
    # shellcheck disable=SC2086
    lab_start_bg "c$n" "$T/c$n.log" "$bin/orvanta-camsim" --no-discovery --config "$T/c$n.conf" $opts "${ap[@]}"
    lab_wait_port "c$n" tcp 80 10 || { echo "camera $name did not start" >&2; exit 1; }
    measure() {  # measure OUT cmd... -> "exit, seconds, peak KB"
        local out="$1"; shift
        lab_exec pc /usr/bin/time -f '%e %M' -o "$T/time" timeout 300 "$@" >"$out" 2>"$out.err"
        local rc=$?
        read -r secs kb < <(tail -n 1 "$T/time")  # past a "Command exited ..." line
        echo "$rc, $secs, $kb"
    }
    r="$(measure "$T/read$n" "$client/orvanta-cli" read "$ip")"
    g="$(measure "$T/gui$n" env QT_QPA_PLATFORM=offscreen OVF_CAM_IP="$ip" OVF_CAM_MAC=02:00:00:96:00:01 \
        OVF_CAM_SERIAL=SN-B OVF_EXPECT="$expect" OVF_TITLE="$title" \
        "$client/guided_flow_guiprog" hostileRead)"
    s="$(measure "$T/save$n" "$client/orvanta-cli" save "$ip" --settings "$T/good.ini")"
    held="$(grep -o 'held=[0-9]* answered=[0-9]*' "$T/gui$n" | tr -d 'a-z=' | tr ' ' '/')"
    printf '%-24s | %-22s | %-22s | %s\n' "$name" "$r" "$s" "${held:--}, $g"
    lab_stop "$LAB_LAST_PID"
done
