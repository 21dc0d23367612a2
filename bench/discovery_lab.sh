#!/usr/bin/env bash
# Runs bench_discovery in a lab against one simulated camera group of 10,
# 100, 1000 and 5000 cameras (orvanta-camsim --count). Needs root.
# usage: bench/discovery_lab.sh [BIN_DIR] [COUNTS...]
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=../tests/net/lib/lab.sh
. "$here/../tests/net/lib/lab.sh"
bin="${1:-${ORVANTA_BIN_DIR:-$here/../build/bin}}"
shift || true
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(10 100 1000 5000)

lab_init ovd
lab_tmpdir
lab_add_pc 10.90.0.1/16
lab_add_camera grp 10.90.0.2/16
for n in "${counts[@]}"; do
    lab_start_bg grp "$LAB_TMP/grp-$n.log" "$bin/orvanta-camsim" --no-web --count "$n" \
        --mac 02:00:00:20:00:00 --ip 10.90.1.1 --mask 255.255.0.0
    pid=$LAB_LAST_PID
    lab_wait_port grp udp 49160 10 || { echo "camera group did not start" >&2; exit 1; }
    lab_exec pc "$bin/bench_discovery" "$n"
    lab_stop "$pid"
done
