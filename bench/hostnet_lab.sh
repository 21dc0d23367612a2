#!/usr/bin/env bash
# Runs bench_hostnet inside a private lab: the PC at 192.168.1.10/24, a
# camera at 192.168.5.20/24 (its subnet's .254 free: one alias candidate),
# and devices at .20, .253, .252, .251 and .250 of the PC's subnet so the
# free-address search from .20 meets five answers before .249.
# Usage (root): bench/hostnet_lab.sh BIN_DIR [RUNS]
set -u
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../tests/net/lib/lab.sh"
bin="${1:?usage: hostnet_lab.sh BIN_DIR [RUNS]}"
runs="${2:-3}"
lab_init ovhb
lab_add_pc 192.168.1.10/24
lab_add_camera cam 192.168.5.20/24
for host in 20 253 252 251 250; do lab_add_camera "d$host" "192.168.1.$host/24"; done
export ORVANTA_NETADMIN="$bin/orvanta-netadmin"
lab_exec pc "$bin/bench_hostnet" --cam 192.168.5.20 255.255.255.0 \
    --free 192.168.1.20 192.168.1.10 255.255.255.0 --runs "$runs"
