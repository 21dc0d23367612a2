#!/usr/bin/env bash
# Runs bench_discovery in a lab against one simulated camera group answering
# each request in a single burst (orvanta-camsim --count), as root
# and as an ordinary user, with the receive-buffer limit at the stock value
# and raised. Prints one row per run: who, the limit, how many cameras
# answered (the group's own count of replies sent), how many the search
# found, and the CPU it used. Needs root (for the namespaces).
#
# usage: bench/discovery_lab.sh [BIN_DIR] [COUNTS...]     (default 1000 5000 20000)
# env:   BENCH_USERS="root user"   BENCH_LIMITS="stock raised"
#        BENCH_GAP_US=1000  pause after every 64 replies of the group, in us
#        (the simulator's own pacing, 64,000 replies a second; 0 sends the
#        burst as fast as one process can, which on a PC of few cores also
#        measures how soon the scheduler lets the receiving thread run)
#
# net.core.rmem_max is one value for the whole host (read-only inside a
# namespace), so the bench never changes it: "stock" caps the ordinary
# user's request at the stock 212992 bytes, which is exactly what that limit
# does to it; "raised" is this host's own limit. Root passes either limit.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=../tests/net/lib/lab.sh
. "$here/../tests/net/lib/lab.sh"
bin="${1:-${ORVANTA_BIN_DIR:-$here/../build/bin}}"
shift || true
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(1000 5000 20000)
read -r -a users <<<"${BENCH_USERS:-root user}"
read -r -a limits <<<"${BENCH_LIMITS:-stock raised}"
gap="${BENCH_GAP_US:-1000}"
stock=212992
host_limit="$(cat /proc/sys/net/core/rmem_max)"

lab_init ovd
lab_tmpdir
lab_add_pc 10.90.0.1/16
lab_add_camera grp 10.90.0.2/16

echo "net.core.rmem_max: stock $stock, this host $host_limit; group pause ${gap} us per 64 replies"
[ "$host_limit" -gt "$stock" ] || echo "note: this host's limit is not raised; the raised rows equal the stock ones"
printf '%-5s %-7s %8s %9s %8s %8s  %s\n' user rmem_max cameras answered found share "cpu ms (window thread max / whole search)"
for n in "${counts[@]}"; do
    lab_start_bg grp "$LAB_TMP/grp-$n.log" "$bin/orvanta-camsim" --no-web --count "$n" \
        --mac 02:00:00:20:00:00 --ip 10.90.1.1 --mask 255.255.0.0 --burst-gap-us "$gap"
    pid=$LAB_LAST_PID
    lab_wait_port grp udp 49160 10 || { echo "camera group did not start" >&2; exit 1; }
    for user in "${users[@]}"; do
        for limit in "${limits[@]}"; do
            run=(lab_exec pc)
            [ "$user" = root ] || run=(lab_exec_user pc)
            cap=$host_limit
            [ "$limit" = stock ] && cap=$stock
            out="$(BENCH_RMEM_MAX=$cap "${run[@]}" "$bin/bench_discovery" "$n")"
            # The group logs one line per request it answered; the last is this run's.
            answered="$(grep -o 'answered a request with [0-9]*' "$LAB_TMP/grp-$n.log" | tail -1 | grep -o '[0-9]*$')"
            found="$(sed -n 's/.*found *\([0-9]*\).*/\1/p' <<<"$out")"
            share="$(sed -n 's/.*share *\([0-9.]*%\).*/\1/p' <<<"$out")"
            cpu_max="$(sed -n 's/.*max \([0-9.]*\).*/\1/p' <<<"$out")"
            cpu_all="$(sed -n 's/.*process \([0-9.]*\).*/\1/p' <<<"$out")"
            printf '%-5s %-7s %8s %9s %8s %8s  %s / %s\n' "$user" "$limit" "$n" "${answered:-?}" \
                "${found:-?}" "${share:-?}" "${cpu_max:-?}" "${cpu_all:-?}"
        done
    done
    lab_stop "$pid"
done
