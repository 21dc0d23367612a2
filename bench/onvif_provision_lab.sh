#!/usr/bin/env bash
# One plan of N emulated ONVIF cameras and N of our own (default 50 + 50),
# every camera moved into a new subnet and verified there, at the default
# parallelism: prints the wall time, orvanta-cli's CPU time (its helper
# included), the emulator's CPU time and the statuses. A benchmark: it
# asserts nothing about the figures. Needs root.
#
# usage: bench/onvif_provision_lab.sh [BIN_DIR] [N]
# env:   BENCH_REBOOT=1   the ONVIF cameras want a reboot for a new address
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=../tests/net/lib/lab.sh
. "$here/../tests/net/lib/lab.sh"
bin="${1:-${ORVANTA_BIN_DIR:-$here/../build/bin}}"
n="${2:-50}"
sim="$here/../tools/onvifsim/onvifsim"
[ "$n" -ge 1 ] && [ "$n" -le 80 ] || { echo "N: 1 to 80" >&2; exit 2; }
reboot=()
[ "${BENCH_REBOOT:-0}" = 1 ] && reboot=(--reboot-needed --reboot-seconds 2)

lab_init ovop
lab_tmpdir
export ORVANTA_NETADMIN="$bin/orvanta-netadmin"
export XDG_RUNTIME_DIR="$LAB_TMP/run"
mkdir -p "$XDG_RUNTIME_DIR"
lab_add_pc 10.96.0.1/24
start=$(date +%s.%N)
# Ours: one namespace each, 10.96.0.11 on.
for i in $(seq 1 "$n"); do
    mac="$(printf '02:00:00:96:00:%02x' "$i")"
    printf 'IPType=1\nIPAddr=10.96.0.%d\nNetmask=255.255.255.0\nGateway=10.96.0.1\nMAC=%s\nSerialNo=SN-M-%d\n' \
        $((10 + i)) "$mac" "$i" >"$LAB_TMP/c$i.conf"
    lab_add_camera "c$i" "10.96.0.$((10 + i))/24"
    lab_start_bg "c$i" "$LAB_TMP/c$i.log" "$bin/orvanta-camsim" --config "$LAB_TMP/c$i.conf" --mac "$mac" \
        --serial "SN-M-$i" --iface eth0 --readdress-delay-ms 300
done
# The ONVIF cameras: one emulator, 10.96.0.101 on, each moving its own
# address on the shared card. Requests are still checked against the schemas.
lab_add_camera onv 10.96.0.100/24
echo 'Bench pw' >"$LAB_TMP/pw"
lab_start_bg onv "$LAB_TMP/onv.log" "$sim" --address 10.96.0.101/24 --count "$n" \
    --uuid urn:uuid:7b000000-0000-4000-8000-000000000001 --password-file "$LAB_TMP/pw" "${reboot[@]}"
for i in $(seq 1 "$n"); do
    lab_wait_port "c$i" tcp 80 20 || { echo "camera c$i did not start" >&2; exit 1; }
done
lab_wait_port onv tcp 80 30 || { echo "the emulator did not start" >&2; cat "$LAB_TMP/onv.log" >&2; exit 1; }
printf 'lab of %d + %d cameras up in %.1f s (%s)\n' "$n" "$n" "$(echo "$(date +%s.%N) - $start" | bc)" \
    "$(grep -h -m 1 'onvifsim: ' "$LAB_TMP/onv.log" | cut -d' ' -f2-)"

{
    echo "kind,mac,uuid,ip_address,netmask,prefix,gateway,user,password"
    for i in $(seq 1 "$n"); do
        printf 'native,02:00:00:96:00:%02x,,172.16.96.%d,255.255.255.0,,172.16.96.1,,\n' "$i" $((10 + i))
        printf 'onvif,,urn:uuid:7b000000-0000-4000-8000-%012x,172.16.96.%d,,24,172.16.96.1,admin,Bench pw\n' "$i" $((100 + i))
    done
} >"$LAB_TMP/plan.csv"

emu_pid="$(ip netns pids "$(lab_ns onv)" | head -n 1)"
emu_cpu() { awk '{print $14 + $15}' "/proc/$emu_pid/stat" 2>/dev/null || echo 0; }
before="$(emu_cpu)"
lab_exec pc /usr/bin/time -f '%e %U %S' -o "$LAB_TMP/time" "$bin/orvanta-cli" provision "$LAB_TMP/plan.csv" \
    --search-seconds 10 --refind-seconds 60 --format csv --report "$LAB_TMP/report.csv" >/dev/null 2>"$LAB_TMP/err"
rc=$?
after="$(emu_cpu)"
read -r wall user sys < <(tail -n 1 "$LAB_TMP/time")
statuses="$(/usr/bin/python3 - "$LAB_TMP/report.csv" <<'PY' 2>/dev/null || echo "no report"
import csv, sys, collections
rows = list(csv.DictReader(open(sys.argv[1])))
print(" ".join(f"{k}={v}" for k, v in sorted(collections.Counter(r["status"] for r in rows).items())))
PY
)"
printf '%-8s %-8s %-8s %-8s %-12s %s\n' wall_s user_s sys_s cpu_s emulator_s statuses
printf '%-8s %-8s %-8s %-8s %-12s %s\n' "$wall" "$user" "$sys" "$(echo "$user + $sys" | bc)" \
    "$(echo "scale=2; ($after - $before) / $(getconf CLK_TCK)" | bc)" "$statuses"
echo "orvanta-cli exit $rc; ONVIF cameras at their new address: $(grep -c 'address 10.96.0.[0-9]*/24 -> 172.16.96' "$LAB_TMP/onv.log") of $n"
[ "$rc" = 0 ] || head -n 3 "$LAB_TMP/err" | sed 's/^/  stderr: /'
