#!/usr/bin/env bash
# Runs bench_camera_http from a PC namespace against orvanta-camsim in a
# camera namespace (a private lab; nothing reaches the host's interfaces).
#   ORVANTA_BIN_DIR=build/bin bench/camera_http_lab.sh [ROUNDS]
set -u
src="$(cd "$(dirname "$0")/.." && pwd)"
# shellcheck source=../tests/net/lib/lab.sh
. "$src/tests/net/lib/lab.sh"
bin="${ORVANTA_BIN_DIR:?ORVANTA_BIN_DIR must name the built programs}"
lab_init ovcb
lab_tmpdir
lab_add_pc 10.94.0.1/24
lab_add_camera cam 10.94.0.10/24
printf 'IPAddr=10.94.0.10\n' >"$LAB_TMP/cam.conf"
lab_start_bg cam "$LAB_TMP/cam.log" "$bin/orvanta-camsim" --no-discovery --config "$LAB_TMP/cam.conf" \
    --ap "Home Net,00:11:22:33:44:55,Infra,6,80,WPA-PSK"
lab_wait_port cam tcp 80 10 || { echo "camera did not start" >&2; exit 1; }
lab_exec pc "$bin/bench_camera_http" 10.94.0.10 "${1:-20}"
