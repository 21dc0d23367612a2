#!/usr/bin/env bash
# Discovery in the lab: a PC, a second PC with two addresses, three camera
# namespaces (one camera with every field set, one in another subnet that
# answers with the alternative magic, one group answering as 26 cameras) and
# a namespace without any address.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"

lab_require_programs orvanta-camsim orvanta-cli discovery_prog

lab_init ovd
lab_tmpdir
lab_add_pc 10.77.0.1/24
lab_add_camera pc2 10.77.0.2/24 10.78.0.2/24
lab_add_camera cam1 10.77.0.10/24
lab_add_camera cam2 10.78.0.20/24
lab_add_camera grp 10.77.0.30/24
lab_add_empty bare

: >"$LAB_TMP/cam1.conf"
lab_start_bg cam1 "$LAB_TMP/cam1.log" "$bin/orvanta-camsim" --no-web --mac 02:00:00:00:01:0A \
    --port 8080 --desc Lobby --serial SN-CAM1 --interface wireless --fourth F4 --second-port 554 \
    --config "$LAB_TMP/cam1.conf"
cam1=$LAB_LAST_PID
lab_start_bg cam2 "$LAB_TMP/cam2.log" "$bin/orvanta-camsim" --no-web --mac 02:00:00:00:02:14 \
    --alt-magic --serial SN-CAM2
cam2=$LAB_LAST_PID
lab_start_bg grp "$LAB_TMP/grp.log" "$bin/orvanta-camsim" --no-web --count 26 \
    --mac 02:00:00:10:00:00 --ip 10.77.1.1 --mask 255.255.0.0
grp=$LAB_LAST_PID
for ns in cam1 cam2 grp; do
    lab_wait_port "$ns" udp 49160 10 || { echo "camera $ns did not start" >&2; cat "$LAB_TMP/$ns.log" >&2; exit 1; }
done

export OVD_CAMERAS=28 OVD_CAM1_CONF="$LAB_TMP/cam1.conf" OVD_CAM2_PID="$cam2"
export OVD_ALL_PIDS="$cam1 $cam2 $grp"
failures=0

for t in OneCameraWithEveryField RepeatedRepliesGiveOneEntryAndNoChange TwentySixCamerasGrowTheRecords \
         NewAddressUpdatesTheEntryInPlace SilentCameraDisappearsAfterItsTimeToLive \
         RestartOnAQuietNetworkReturnsZeroAndNoCameras; do
    lab_check "$t" lab_exec pc "$bin/discovery_prog" --gtest_filter="Lab.$t"
done
lab_check TwoAddressesTwoSocketsOneEntryPerCamera \
    lab_exec pc2 "$bin/discovery_prog" --gtest_filter=Lab.TwoAddressesTwoSocketsOneEntryPerCamera

# orvanta-cli discover: every camera once, in parseable JSON and CSV.
cli_json() {
    lab_exec pc "$bin/orvanta-cli" discover --seconds 2 --format json >"$LAB_TMP/d.json" || return 1
    # One object a line: 28 cameras, and camera 1 with every field.
    [ "$(grep -c '^  {' "$LAB_TMP/d.json")" = 28 ] || return 1
    [ "$(grep -o '"mac": "[^"]*"' "$LAB_TMP/d.json" | sort -u | wc -l)" = 28 ] || return 1
    head -1 "$LAB_TMP/d.json" | grep -qx '\[' && tail -1 "$LAB_TMP/d.json" | grep -qx '\]' || return 1
    grep -qF '{"kind": "native", "ip": "10.77.0.10", "mac": "02:00:00:00:01:0A", "port": 8080, "model": "Lobby", "interface": "wireless", "serial": "SN-CAM1", "second_port": 554, "mask": "255.255.255.0"}' "$LAB_TMP/d.json" || return 1
    # Sorted by address as a number, not as text.
    python3 -c 'import ipaddress,json,sys; ips=[ipaddress.ip_address(c["ip"]) for c in json.load(open(sys.argv[1]))]; assert ips==sorted(ips)' "$LAB_TMP/d.json"
}
cli_csv() {
    lab_exec pc "$bin/orvanta-cli" discover --seconds 2 --format csv >"$LAB_TMP/d.csv" || return 1
    [ "$(wc -l <"$LAB_TMP/d.csv")" = 29 ] && head -1 "$LAB_TMP/d.csv" | grep -qx 'kind,ip,mac,port,model,interface,serial,second_port,mask,uuid,address,xaddrs,name,hardware,routed' &&
        [ "$(grep -c '^native,' "$LAB_TMP/d.csv")" = 28 ]
}
cli_exit() {  # cli_exit NS EXPECTED args...
    local ns="$1" want="$2"; shift 2
    lab_exec "$ns" "$bin/orvanta-cli" discover "$@" >/dev/null 2>&1
    [ $? = "$want" ]
}
lab_check "cli discover json" cli_json
lab_check "cli discover csv" cli_csv
lab_check "cli discover without an address exits 1" cli_exit bare 1 --seconds 1
lab_check "cli discover bad seconds exits 2" cli_exit bare 2 --seconds 0
lab_check "cli discover bad format exits 2" cli_exit bare 2 --format xml

# --seconds N listens N seconds: a camera answering 2.5 s after the request
# is listed by a 3-second search.
lab_add_camera late 10.77.0.40/24
lab_start_bg late "$LAB_TMP/late.log" "$bin/orvanta-camsim" --no-web --mac 02:00:00:00:04:28 \
    --reply-delay-ms 2500
late=$LAB_LAST_PID
lab_wait_port late udp 49160 10 || { echo "camera late did not start" >&2; exit 1; }
cli_hears_late() {
    lab_exec pc "$bin/orvanta-cli" discover --seconds 3 --format csv >"$LAB_TMP/late.csv" &&
        grep -q '^native,10\.77\.0\.40,02:00:00:00:04:28,' "$LAB_TMP/late.csv"
}
lab_check "cli discover --seconds 3 hears a reply at 2.5 s" cli_hears_late
lab_stop "$late"

# A thousand cameras answering one request at once, heard whole by an
# ordinary user at the stock receive-buffer limit.
lab_add_camera burst 10.77.0.50/24
lab_start_bg burst "$LAB_TMP/burst.log" "$bin/orvanta-camsim" --no-web --count 1000 \
    --mac 02:00:00:30:00:00 --ip 10.77.100.1 --mask 255.255.0.0
lab_wait_port burst udp 49160 10 || { echo "camera burst did not start" >&2; exit 1; }
export OVD_BURST=1000
lab_check OrdinaryUserAtTheStockLimitHearsAWholeBurst \
    lab_exec_user pc "$bin/discovery_prog" --gtest_filter=Lab.OrdinaryUserAtTheStockLimitHearsAWholeBurst

lab_finish "discovery"
