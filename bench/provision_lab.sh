#!/usr/bin/env bash
# Sets up N simulated cameras (default 100) from one plan in a lab, moving
# every camera into a new subnet and verifying it there, at --parallel 1, 8
# and 32, and prints the wall time and orvanta-cli's own CPU time (its
# helper included) of each run. A benchmark: it prints figures and asserts
# nothing about them. Needs root.
# usage: bench/provision_lab.sh [BIN_DIR] [CAMERAS] [PARALLEL...]
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=../tests/net/lib/lab.sh
. "$here/../tests/net/lib/lab.sh"
bin="${1:-${ORVANTA_BIN_DIR:-$here/../build/bin}}"
n="${2:-100}"
shift 2 2>/dev/null || shift $#
levels=("$@")
[ ${#levels[@]} -gt 0 ] || levels=(1 8 32)
[ "$n" -ge 1 ] && [ "$n" -le 200 ] || { echo "CAMERAS: 1 to 200" >&2; exit 2; }

lab_init ovpb
lab_tmpdir
lab_add_pc 10.95.0.1/24
start=$(date +%s.%N)
for i in $(seq 1 "$n"); do
    mac="$(printf '02:00:00:95:%02x:%02x' $((i / 256)) $((i % 256)))"
    addr="10.95.0.$((10 + i))"
    printf 'IPType=1\nIPAddr=%s\nNetmask=255.255.255.0\nGateway=10.95.0.1\nMAC=%s\nSerialNo=SN-B-%d\n' \
        "$addr" "$mac" "$i" >"$LAB_TMP/c$i.conf"
    lab_add_camera "c$i" "$addr/24"
    lab_start_bg "c$i" "$LAB_TMP/c$i.log" "$bin/orvanta-camsim" --config "$LAB_TMP/c$i.conf" --mac "$mac" \
        --serial "SN-B-$i" --iface eth0 --readdress-delay-ms 300
done
for i in $(seq 1 "$n"); do
    lab_wait_port "c$i" tcp 80 20 || { echo "camera c$i did not start" >&2; exit 1; }
done
printf 'lab of %d cameras up in %.1f s\n\n' "$n" "$(echo "$(date +%s.%N) - $start" | bc)"

printf '%-9s %-9s %-8s %-8s %-8s %s\n' parallel wall_s user_s sys_s cpu_s "statuses"
subnet=100
for p in "${levels[@]}"; do
    # Each level moves every camera into a subnet of its own.
    subnet=$((subnet + 1))
    plan="$LAB_TMP/plan-$p.csv"
    {
        echo "mac,ip_address,netmask,gateway"
        for i in $(seq 1 "$n"); do
            printf '02:00:00:95:%02x:%02x,172.16.%d.%d,255.255.255.0,172.16.%d.1\n' \
                $((i / 256)) $((i % 256)) "$subnet" $((10 + i)) "$subnet"
        done
    } >"$plan"
    lab_exec pc /usr/bin/time -f '%e %U %S' -o "$LAB_TMP/time-$p" "$bin/orvanta-cli" provision "$plan" \
        --parallel "$p" --search-seconds 30 --refind-seconds 60 --format csv >"$LAB_TMP/report-$p.csv" 2>/dev/null
    read -r wall user sys <"$LAB_TMP/time-$p"
    statuses="$(tail -n +2 "$LAB_TMP/report-$p.csv" | cut -d, -f4 | sort | uniq -c | awk '{printf "%s%s=%s", sep, $2, $1; sep=" "}')"
    printf '%-9s %-9s %-8s %-8s %-8s %s\n' "$p" "$wall" "$user" "$sys" "$(printf "%.2f" "$(echo "$user + $sys" | bc)")" "$statuses"
    eval "wall_$p=$wall"
done
first="${levels[0]}"
echo
for p in "${levels[@]}"; do
    printf 'wall time at --parallel %s / at --parallel %s: %.2f\n' "$p" "$first" \
        "$(eval "echo \"\$wall_$p / \$wall_$first\"" | bc -l)"
done
