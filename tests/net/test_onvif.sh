#!/usr/bin/env bash
# Other makers' cameras beside our own, over ONVIF, in the lab: a PC with
# two cards and no route, an emulated ONVIF camera behind each, one on a
# link-local address only, one in a foreign subnet (reached through the
# temporary address), one whose clock is six months behind, two that take
# HTTP Digest only, both ways of changing an address (at once, and after a
# reboot the camera asks for), a wrong password, and a plan that sets up
# our cameras and ONVIF cameras in one run. Every request the PC sends is
# checked against the ONVIF schemas by the emulator; Debian's onvif-util,
# when installed, is a second client that keeps the emulator honest.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"
# shellcheck source=lib/checks.sh
. "$here/lib/checks.sh"

lab_require_programs orvanta-cli orvanta-camsim orvanta-netadmin
lab_onvif_start ovo
T="$LAB_TMP"
failures=0

# The PC: two cards on two switches, no route beyond their subnets.
lab_new_pc
lab_pc_card eth0 main 10.98.1.1/24
lab_pc_card eth1 side 10.98.2.1/24

printf 'Lab pass 1\n' >"$T/pw"
printf 'not the password\n' >"$T/wrong"
uuid_of() { printf 'urn:uuid:6f5e0000-0000-4000-8000-%012d' "$1"; }

# The ONVIF cameras, one a line: name, switch, address, HTTP port, the
# emulator's switches (what the camera is for).
cat >"$T/cameras" <<'TABLE'
plain     main 10.98.1.20/24    80   -
side      side 10.98.2.20/24    80   --reboot-needed --ns-variant SOAP-ENV
linklocal main 169.254.77.20/16 80   --ns-variant s
far       main 192.168.98.20/24 80   --ns-variant redeclare
clock     main 10.98.1.30/24    8080 --clock-offset-s -15552000 --ns-variant default --chunked
digest    main 10.98.1.40/24    80   --digest-only sha256 --no-anonymous-time --unreachable-xaddr
digestmd5 main 10.98.1.41/24    80   --digest-only md5 --reply-delay-ms 200
nouser    main 10.98.1.42/24    80   --no-onvif-user
plan1     main 10.98.1.60/24    80   -
plan2     main 10.98.1.61/24    80   --reboot-needed
win1      side 10.98.2.31/24    80   -
win2      side 10.98.2.32/24    80   --reboot-needed
win3      side 192.168.97.33/24 80   --clock-offset-s -15811200
lax       util 10.98.3.50/24    80   --lenient
TABLE
n=0
declare -A uuid port addr
onvif_names=()
pc_sees=0   # the cameras on the PC's two switches
while read -r name sw address http opts; do
    n=$((n + 1))
    [ "$opts" = - ] && opts=""
    lab_add_camera_on "$sw" "$name" "$address"
    # shellcheck disable=SC2086
    lab_start_bg "$name" "$T/$name.log" "$sim" --uuid "$(uuid_of "$n")" --name "Cam $name" --port "$http" \
        --state "$T/$name.json" --password-file "$T/pw" --check-replies --reboot-seconds 1 $opts
    onvif_names+=("$name")
    case "$sw" in main | side) pc_sees=$((pc_sees + 1)) ;; esac
    uuid[$name]="$(uuid_of "$n")" port[$name]="$http" addr[$name]="${address%/*}"
done <"$T/cameras"

# Two of our own cameras on the same switch.
for i in 1 2; do
    mac="02:00:00:98:00:0$i"
    printf 'IPType=1\nIPAddr=10.98.1.7%d\nNetmask=255.255.255.0\nGateway=10.98.1.1\nTitleBar=Ours %d\nMAC=%s\nSerialNo=SN-O-%d\n' \
        "$i" "$i" "$mac" "$i" >"$T/nat$i.conf"
    lab_add_camera "nat$i" "10.98.1.7$i/24"
    lab_start_bg "nat$i" "$T/nat$i.log" "$bin/orvanta-camsim" --config "$T/nat$i.conf" --mac "$mac" \
        --serial "SN-O-$i" --request-log "$T/nat$i.req" --iface eth0 --readdress-delay-ms 300
done

for name in "${onvif_names[@]}"; do
    if ! lab_wait_port "$name" tcp "${port[$name]}" 15 || ! lab_wait_port "$name" udp 3702 5; then
        echo "emulated camera $name did not start" >&2; cat "$T/$name.log" >&2; exit 1
    fi
done
for i in 1 2; do lab_wait_port "nat$i" tcp 80 10 || { echo "camera nat$i did not start" >&2; exit 1; }; done

state() { py "d['cameras'][0]['$2']" "$T/$1.json"; }  # state CAMERA KEY: what the emulator holds
cli() { lab_exec pc "$bin/orvanta-cli" "$@"; }
cred=(--user admin --password-file "$T/pw")

# ---------------------------------------------------------------- the emulator
# An office PC beside the cameras, with a default route: onvif-util sends
# its search only along a route (without one it fails with ENETUNREACH).
lab_add_camera office 10.98.1.5/24
ip -n "$(lab_ns office)" route add default dev eth0
# onvif-util's session searches too and stops at the first camera that
# cannot answer it: its camera stands on a switch of its own.
lab_add_camera_on util office2 10.98.3.5/24
ip -n "$(lab_ns office2)" route add default dev eth0
if command -v onvif-util >/dev/null; then
    # It counts what answered, then asks each camera for its name and waits
    # without end on one it cannot reach (here: link-local, foreign subnet).
    lab_exec office timeout 15 stdbuf -oL onvif-util -a >"$T/util-a.out" 2>&1
    [ $? = 124 ] && echo "note onvif-util -a hung after listing $(grep -c '(Cam ' "$T/util-a.out") camera(s)"
    last_err="$T/util-a.out"
    check "onvif-util -a finds every camera on its switch" "Found 9 cameras" "$(grep -o 'Found [0-9]* cameras' "$T/util-a.out")"
    util_start=$(date +%s%N)
    printf 'get network\nset dns 10.98.3.53\nset default_gateway 10.98.3.254\nset ip_address 10.98.3.51\nquit\n' |
        lab_exec office2 timeout 30 stdbuf -oL onvif-util -u admin -p 'Lab pass 1' 10.98.3.50 >"$T/util.out" 2>&1
    echo "note onvif-util session (get network, set dns, set default_gateway, set ip_address, quit) took $((($(date +%s%N) - util_start) / 1000000)) ms"
    last_err="$T/util.out"
    check "onvif-util reads the lax camera's address" "IP Address: 10.98.3.50" "$(grep -o 'IP Address: [0-9.]*' "$T/util.out")"
    sleep 1   # the new address takes a moment
    check "onvif-util's changes reach the camera" '["10.98.3.53"] ["10.98.3.254"] 10.98.3.51' \
        "$(state lax dns) $(state lax gateway) $(state lax address)"
    echo "note onvif-util needed relaxed: $(grep -o 'relaxed [a-z-]* [0-9.]* [A-Za-z]*' "$T/lax.log" | awk '{n[$2]++; if (!seen[$2 $4]++) ops[$2] = ops[$2] (ops[$2] ? " " : "") $4}
        END {for (k in n) printf "%s%s: %d request(s): %s", (s++ ? "; " : ""), k, n[k], ops[k]}')"
else
    echo "skip onvif-util is not installed"
fi

soap() {  # soap BODY: a SOAP 1.2 envelope around BODY
    printf '<s:Envelope xmlns:s="http://www.w3.org/2003/05/soap-envelope" xmlns:tds="http://www.onvif.org/ver10/device/wsdl"><s:Body>%s</s:Body></s:Envelope>' "$1"
}
post() {  # post URL BODY [curl options...]: prints the HTTP status, the reply in $T/post.out
    local url="$1" body="$2"; shift 2
    lab_exec office curl -s -o "$T/post.out" -w '%{http_code}' -H 'Content-Type: application/soap+xml; charset=utf-8' \
        --data-binary "$(soap "$body")" "$@" "$url"
}
code="$(post http://10.98.1.20/onvif/device_service '<tds:SetHostname><tds:Label>x</tds:Label></tds:SetHostname>')"
check "a request off the schema is answered with a fault" "400 ter:InvalidArgVal 1" \
    "$code $(grep -o 'ter:InvalidArgVal' "$T/post.out") $(grep -c 'schema-invalid 10.98.1.5 SetHostname' "$T/plain.log")"
# curl's own HTTP Digest against the emulator's.
info='<tds:GetDeviceInformation/>'
check "HTTP Digest MD5: curl is let in, a wrong password is not" "200 401" \
    "$(post http://10.98.1.41/onvif/device_service "$info" --digest -u 'admin:Lab pass 1') $(post http://10.98.1.41/onvif/device_service "$info" --digest -u admin:wrong)"
check "HTTP Digest SHA-256: curl is let in" "200" "$(post http://10.98.1.40/onvif/device_service "$info" --digest -u 'admin:Lab pass 1')"
check "GetSystemDateAndTime without a login" "200 401" \
    "$(post http://10.98.1.20/onvif/device_service '<tds:GetSystemDateAndTime/>') $(post http://10.98.1.40/onvif/device_service '<tds:GetSystemDateAndTime/>')"

# ---------------------------------------------------------------- the command line
# The search, as an ordinary user, through both cards.
lab_exec_user pc "$bin/orvanta-cli" discover --kind onvif --seconds 3 --format json >"$T/disc.json" 2>"$T/disc.err"
check "discover --kind onvif exits 0" 0 $?
last_err="$T/disc.err"
check "discover --kind onvif: every camera once, nothing else" "$pc_sees 0" \
    "$(py 'len(set(r["uuid"] for r in d if r.get("kind") == "onvif"))' "$T/disc.json") $(py 'sum(r.get("kind") != "onvif" for r in d)' "$T/disc.json")"
for name in side linklocal far clock; do
    u="${uuid[$name]}" a="${addr[$name]}"
    want_if=eth0; [ "$name" = side ] && want_if=eth1
    check "discover: $name listed with its address, card, name and service address" "$a $want_if Cam $name True" \
        "$(py "' '.join(str(x) for r in d if r.get('uuid') == '$u' for x in (r['address'], r['interface'], r['name'], '$a' in r['xaddrs']))" "$T/disc.json")"
done
cli discover --seconds 3 --format json >"$T/all.json" 2>"$T/all.err"
last_err="$T/all.err"
check "discover lists both kinds" "2 $pc_sees" \
    "$(py 'sum(r.get("kind") == "native" for r in d)' "$T/all.json") $(py 'sum(r.get("kind") == "onvif" for r in d)' "$T/all.json")"

# read: each form of TARGET, each kind of camera.
read_camera() {  # read_camera TAG TARGET [options]: exit code; JSON in $T/read-TAG.json
    local tag="$1"; shift
    cli onvif read "$@" "${cred[@]}" --format json >"$T/read-$tag.json" 2>"$T/read-$tag.err"
    echo $?
}
rc="$(read_camera plain 10.98.1.20)"; last_err="$T/read-plain.err"
check "read by address" "0 ${uuid[plain]} Labworks 10.98.1.20 24 False 2 rtsp://10.98.1.20:554/stream1" \
    "$rc $(py '" ".join(str(x) for x in (o["uuid"], o["manufacturer"], o["ipv4"]["address"], o["ipv4"]["prefix"], o["ipv4"]["dhcp"], len(o["stream_uris"]), o["stream_uris"][0]))' "$T/read-plain.json")"
rc="$(read_camera far 192.168.98.20)"; last_err="$T/read-far.err"
check "read in a foreign subnet through the temporary address" "0 192.168.98.20" "$rc $(py 'o["ipv4"]["address"]' "$T/read-far.json")"
rc="$(read_camera linklocal "${uuid[linklocal]}")"; last_err="$T/read-linklocal.err"
check "read a link-local camera by its endpoint reference" "0 169.254.77.20 16" \
    "$rc $(py 'o["ipv4"]["address"] + " " + str(o["ipv4"]["prefix"])' "$T/read-linklocal.json")"
# The reference as some cameras announce it (no urn:), in capitals.
rc="$(read_camera plainref "$(printf '%s' "${uuid[plain]#urn:}" | tr a-z A-Z)")"; last_err="$T/read-plainref.err"
check "read by a uuid: reference in capitals" "0 10.98.1.20" "$rc $(py 'o["ipv4"]["address"]' "$T/read-plainref.json")"
rc="$(read_camera clock 10.98.1.30:8080)"; last_err="$T/read-clock.err"
check "read a camera six months behind (address:port), signing on its clock said without --verbose" "0 true 1 0" \
    "$rc $(py 'abs(o["time"]["offset_s"] + 15552000) < 120' "$T/read-clock.json") $(grep -cE "onvif read: warning: the camera's clock is 1(79|80) days behind this computer's; requests are signed with the camera's clock" "$T/read-clock.err") $(grep -c 'clock' "$T/read-plain.err")"
rc="$(read_camera digest http://10.98.1.40/onvif/device_service)"; last_err="$T/read-digest.err"
check "read a Digest-only (SHA-256) camera whose services name a host out of reach" "0 Labworks 2" \
    "$rc $(py 'o["manufacturer"] + " " + str(len(o["stream_uris"]))' "$T/read-digest.json")"
rc="$(read_camera digestmd5 10.98.1.41)"; last_err="$T/read-digestmd5.err"
check "read a Digest-only (MD5) camera" "0 ${uuid[digestmd5]}" "$rc $(py 'o["uuid"]' "$T/read-digestmd5.json")"
# A refusal is known at once: --timeout keeps a client that keeps trying
# from holding the lab for the default two minutes.
check "wrong password: exit 3 (UsernameToken, Digest)" "3 3" \
    "$(cli onvif read 10.98.1.20 --user admin --password-file "$T/wrong" --timeout 20 >/dev/null 2>&1; echo $?) $(cli onvif read 10.98.1.41 --user admin --password-file "$T/wrong" --timeout 20 >/dev/null 2>&1; echo $?)"
check "no ONVIF user on the camera: exit 3" 3 "$(cli onvif read 10.98.1.42 "${cred[@]}" >/dev/null 2>&1; echo $?)"
check "one of our cameras (no ONVIF there): exit 1" 1 "$(cli onvif read 10.98.1.71 "${cred[@]}" --timeout 10 >/dev/null 2>&1; echo $?)"
check "no camera there: exit 4" 4 "$(cli onvif read 10.98.1.99 "${cred[@]}" --timeout 5 >/dev/null 2>&1; echo $?)"

# set: the dry run sends no Set, then both ways of changing an address.
cli onvif set 10.98.1.20 --address 10.98.1.120/24 "${cred[@]}" --dry-run >"$T/dry.out" 2>"$T/dry.err"
rc=$?; last_err="$T/dry.err"
check "set --dry-run: old -> new, no Set sent" "0 1 0" \
    "$rc $(grep -c '10.98.1.20.*→.*10.98.1.120' "$T/dry.out") $(grep -c 'request .* Set' "$T/plain.log")"
cli onvif set 10.98.1.20 --address 10.98.1.120/24 --gateway 10.98.1.254 --dns 10.98.1.53,10.98.1.54 \
    --ntp 10.98.1.123 --hostname plain-new "${cred[@]}" >"$T/set-plain.out" 2>"$T/set-plain.err"
rc=$?; last_err="$T/set-plain.err"
check "set without a reboot: applied, found again, read back" \
    '0 10.98.1.120 ["10.98.1.254"] ["10.98.1.53", "10.98.1.54"] ["10.98.1.123"] plain-new 0' \
    "$rc $(state plain address) $(state plain gateway) $(state plain dns) $(state plain ntp) $(state plain hostname) $(state plain reboots)"
cli onvif set 10.98.2.20 --address 10.98.2.120/24 "${cred[@]}" >"$T/set-side.out" 2>"$T/set-side.err"
rc=$?; last_err="$T/set-side.err"
check "set when the camera needs a reboot: rebooted once, found at the new address" "0 10.98.2.120 1" \
    "$rc $(state side address) $(state side reboots)"
cli onvif set 10.98.1.30:8080 --sync-time --tz 'CET-1CEST,M3.5.0,M10.5.0/3' "${cred[@]}" >"$T/set-clock.out" 2>"$T/set-clock.err"
rc=$?; last_err="$T/set-clock.err"
check "set --sync-time --tz on the camera six months behind, signing on its clock said" \
    "0 true CET-1CEST,M3.5.0,M10.5.0/3 1" \
    "$rc $(py 'abs(d["cameras"][0]["clock_offset_s"]) <= 5' "$T/clock.json") $(state clock tz) $(grep -cE "^orvanta-cli onvif set: warning: the camera's clock is 1(79|80) days behind this computer's; requests are signed with the camera's clock$" "$T/set-clock.err")"
cli onvif set 192.168.98.20 --address 192.168.98.120/24 "${cred[@]}" >"$T/set-far.out" 2>"$T/set-far.err"
rc=$?; last_err="$T/set-far.err"
check "set in a foreign subnet: moved and found again there" "0 192.168.98.120" "$rc $(state far address)"

# A plan of both kinds in one run.
{
    echo "kind,mac,uuid,address,ip_address,netmask,prefix,gateway,dns,ntp,hostname,title"
    echo "native,02:00:00:98:00:01,,,10.98.1.171,255.255.255.0,,10.98.1.1,,,,Site ours 1"
    echo "native,02:00:00:98:00:02,,,10.98.1.172,255.255.255.0,,10.98.1.1,,,,Site ours 2"
    echo "onvif,,${uuid[plan1]},,10.98.1.160,,24,10.98.1.1,10.98.1.53,,site-plan1,"
    echo "onvif,,,10.98.1.61,10.98.1.161,,24,10.98.1.1,,10.98.1.123,site-plan2,"
    # In another subnet and link-local: reached through a temporary address.
    echo "onvif,,${uuid[far]},,192.168.98.121,,24,,,,site-far,"
    echo "onvif,,${uuid[linklocal]},,,,,,,,site-linklocal,"
    # As planned already (the earlier set): nothing sent.
    echo "onvif,,${uuid[plain]},,10.98.1.120,,24,,,,plain-new,"
} >"$T/plan.csv"
cli provision "$T/plan.csv" "${cred[@]}" --search-seconds 6 --refind-seconds 20 --format json \
    --report "$T/report.json" >"$T/plan.out" 2>"$T/plan.err"
rc=$?; last_err="$T/plan.err"
check "mixed plan: exit 0, every row done or unchanged" "0 done done done done done done unchanged" \
    "$rc $(py '" ".join(r["status"] for r in d)' "$T/report.json")"
check "mixed plan: the ONVIF cameras hold what was planned" \
    '10.98.1.160 site-plan1 ["10.98.1.53"] 10.98.1.161 site-plan2 ["10.98.1.123"] 1' \
    "$(state plan1 address) $(state plan1 hostname) $(state plan1 dns) $(state plan2 address) $(state plan2 hostname) $(state plan2 ntp) $(state plan2 reboots)"
check "mixed plan: the cameras beyond the PC's subnets too" "192.168.98.121 site-far site-linklocal" \
    "$(state far address) $(state far hostname) $(state linklocal hostname)"
lab_stored nat1 "IPAddr=10.98.1.171" "TitleBar=Site ours 1"
lab_stored nat2 "IPAddr=10.98.1.172" "TitleBar=Site ours 2"

# A new password, and the old one refused afterwards.
printf 'Lab pass 2\n' >"$T/pw2"
cli onvif set 10.98.1.41 --new-password-file "$T/pw2" "${cred[@]}" >"$T/set-pw.out" 2>"$T/set-pw.err"
rc=$?; last_err="$T/set-pw.err"
check "new password: set, then the old one refused" "0 3" \
    "$rc $(cli onvif read 10.98.1.41 "${cred[@]}" --timeout 20 >/dev/null 2>&1; echo $?)"

# ---------------------------------------------------------------- the window
if [ -x "$bin/onvif_window_guiprog" ]; then
    # Both kinds in the one list, then four cameras through the ONVIF
    # path: moved at once, moved after the reboot it asks for, one in a
    # foreign subnet (with a clock half a year behind) and the link-local
    # one, each brought into the subnet of the card it answered on at the
    # proposed address.
    lab_exec pc env QT_QPA_PLATFORM=offscreen HOME="$T" ORVANTA_SOURCE_DIR="$here/../.." \
        ORVANTA_TEST_NATIVE=2 ORVANTA_TEST_ONVIF="$pc_sees" ORVANTA_TEST_PASSWORD='Lab pass 1' \
        ORVANTA_TEST_MOVES="${uuid[win1]}=10.98.2.131/24,${uuid[win2]}=10.98.2.132/24,${uuid[win3]}=proposal,${uuid[linklocal]}=proposal" \
        "$bin/onvif_window_guiprog" >"$T/window.out" 2>&1
    rc=$?; last_err="$T/window.out"
    grep -E '^(both kinds|wrong password|clock|urn:)' "$T/window.out" | sed 's/^/note /'
    [ "$rc" = 0 ] || grep -E -A4 '^FAIL' "$T/window.out" | sed 's/^/       /'
    check "window: both kinds listed, four cameras set up through the ONVIF path" 0 "$rc"
    check "window: the cameras hold what the pages asked" \
        "10.98.2.131 0 10.98.2.132 1 10.98.2.253 true 10.98.1.253" \
        "$(state win1 address) $(state win1 reboots) $(state win2 address) $(state win2 reboots) $(state win3 address) $(py 'abs(d["cameras"][0]["clock_offset_s"]) <= 5' "$T/win3.json") $(state linklocal address)"
    check "window: host names set" "win-${uuid[win1]: -4} win-${uuid[win3]: -4}" "$(state win1 hostname) $(state win3 hostname)"

    # The plan dialog with a plan of both kinds, narrowed to the cameras
    # chosen in the search list (a MAC and an endpoint reference).
    {
        echo "kind,mac,uuid,address,user,password,title,hostname,ntp"
        echo "native,02:00:00:98:00:01,,,,,Dialog ours 1,,"
        echo "onvif,,${uuid[plan1]},,admin,Lab pass 1,,dialog-plan1,"
        echo "onvif,,,10.98.1.161,admin,Lab pass 1,,dialog-plan2,10.98.1.124"
    } >"$T/dialog.csv"
    lab_exec pc env QT_QPA_PLATFORM=offscreen HOME="$T" ORVANTA_SOURCE_DIR="$here/../.." \
        ORVANTA_TEST_MIXED_PLAN="$T/dialog.csv" ORVANTA_TEST_CHOSEN="02:00:00:98:00:01,${uuid[plan1]}" \
        ORVANTA_TEST_REPORT="$T/dialog-report.html" "$bin/provision_dialog_guiprog" >"$T/dialog.out" 2>&1
    rc=$?; last_err="$T/dialog.out"
    check "plan dialog: a mixed plan narrowed to the chosen cameras, checked, then run" \
        "0 dialog-plan1 site-plan2" "$rc $(state plan1 hostname) $(state plan2 hostname)"
    check "plan dialog: its report has both rows, the ONVIF camera read again with its picture" "2 1 1 1" \
        "$(grep -c '^<tr><td class="picture' "$T/dialog-report.html") $(grep -c '<td>dialog-plan1</td>' "$T/dialog-report.html") $(grep -o 'src="data:image/jpeg' "$T/dialog-report.html" | wc -l) $(grep -c 'hostname: .* → dialog-plan1' "$T/dialog-report.html")"
    lab_stored nat1 "TitleBar=Dialog ours 1"
fi

# ---------------------------------------------------------------- a lying neighbour
# Devices on the PC's switch that answer searches with other cameras'
# claims and take any login, as one relaying the exchanges to the real
# camera would: one names a camera's address in its XAddrs and claims
# another camera's MAC, one answers with a camera's endpoint reference
# from a subnet of its own and claims the address that camera is about
# to be given. The cameras take their time to answer a search (up to half
# a second, as WS-Discovery lets them), the neighbours answer at once: a
# client that takes the first answer takes theirs. Credentials go only to
# the camera meant: neither receives
# a signed request, nor the new password, nor is a temporary address
# added for the subnet a search answer named.
n=$((n + 1)); uuid[trust]="$(uuid_of "$n")"
lab_add_camera_on main trust 10.98.1.80/24
lab_start_bg trust "$T/trust.log" "$sim" --uuid "${uuid[trust]}" --name "Cam trust" --state "$T/trust.json" \
    --password-file "$T/pw" --check-replies --reboot-seconds 1 --probe-delay-ms 500
n=$((n + 1)); uuid[trustmac]="$(uuid_of "$n")"
lab_add_camera_on main trustmac 10.98.1.81/24
lab_start_bg trustmac "$T/trustmac.log" "$sim" --uuid "${uuid[trustmac]}" --name "Cam trustmac" \
    --state "$T/trustmac.json" --password-file "$T/pw" --check-replies --probe-delay-ms 500
for name in trust trustmac; do
    lab_wait_port "$name" tcp 80 15 && lab_wait_port "$name" udp 3702 5 || { echo "camera $name did not start" >&2; exit 1; }
done
n=$((n + 1))
real_mac="$(state trustmac mac)"
lab_add_camera_on main liar1 10.98.1.66/24
lab_start_bg liar1 "$T/liar1.log" "$sim" --uuid "$(uuid_of "$n")" --name "Cam liar" --announce-host 10.98.1.80 \
    --claim-mac "$real_mac" --accept-any-login --probe-delay-ms 1 --state "$T/liar1.json" --password-file "$T/wrong"
lab_add_camera_on main liar2 192.168.77.66/24
lab_start_bg liar2 "$T/liar2.log" "$sim" --uuid "${uuid[trust]}" --name "Cam trust" --announce-host 10.98.1.180 \
    --claim-address 10.98.1.180/24 --accept-any-login --probe-delay-ms 1 --state "$T/liar2.json" --password-file "$T/wrong"
for name in liar1 liar2; do
    lab_wait_port "$name" tcp 80 15 && lab_wait_port "$name" udp 3702 5 || { echo "neighbour $name did not start" >&2; exit 1; }
done
signed() { grep -c "signed .*${2:-}" "$T/$1.log"; }  # signed NEIGHBOUR [OPERATION]: requests it took
temporary() { grep -c 'lies outside the PC.s subnets.*192\.168\.77\.' "$1"; }

# A plan row by address (the first neighbour's XAddrs name it) and one by
# MAC, written as some makers print them (the first neighbour claims it).
upper_dashed="$(printf '%s' "$real_mac" | tr 'a-f:' 'A-F-')"
printf 'kind,mac,address,hostname\nonvif,,10.98.1.80,trust-a\nonvif,%s,,trust-mac\n' "$upper_dashed" >"$T/trust-plan.csv"
cli provision "$T/trust-plan.csv" "${cred[@]}" --search-seconds 6 --format json --report "$T/trust-report.json" \
    --verbose >"$T/trust-plan.out" 2>"$T/trust-plan.err"
rc=$?; last_err="$T/trust-plan.err"
echo "note neighbour, plan rows by address and MAC: $(signed liar1) signed request(s), $(signed liar1 SetUser) SetUser"
check "neighbour: rows by address and MAC done on the cameras meant, none sent to it" "0 done done trust-a trust-mac 0" \
    "$rc $(py '" ".join(r["status"] for r in d)' "$T/trust-report.json") $(state trust hostname) $(state trustmac hostname) $(signed liar1)"

# A row by endpoint reference the second neighbour answers too, from a
# subnet of its own: stopped, both addresses named, no temporary address.
# since [OPERATION]: what the second neighbour took since mark (each note
# counts one step).
mark() { m_all=$(signed liar2); m_set=$(signed liar2 SetUser); }
since() { if [ -n "${1:-}" ]; then echo $(($(signed liar2 "$1") - m_set)); else echo $(($(signed liar2) - m_all)); fi; }
mark
printf 'kind,uuid,hostname\nonvif,%s,trust-uuid\n' "${uuid[trust]#urn:}" >"$T/trust-uuid.csv"
cli provision "$T/trust-uuid.csv" "${cred[@]}" --search-seconds 6 --format json --report "$T/trust-uuid.json" \
    --verbose >"$T/trust-uuid.out" 2>"$T/trust-uuid.err"
rc=$?; last_err="$T/trust-uuid.err"
echo "note row by reference: $(py 'd[0]["detail"]' "$T/trust-uuid.json")"
echo "note neighbour, plan row by reference: $(since) signed request(s), $(temporary "$T/trust-uuid.err") temporary address(es) for its subnet"
check "neighbour: a reference answered from two addresses stops the row, naming both" "failed 1 0 0 trust-a" \
    "$(py 'd[0]["status"]' "$T/trust-uuid.json") $(py 'int("10.98.1.80" in d[0]["detail"] and "192.168.77.66" in d[0]["detail"])' "$T/trust-uuid.json") $(signed liar2) $(temporary "$T/trust-uuid.err") $(state trust hostname)"

# A new password for the camera named by its reference, which the second
# neighbour answers too: refused naming both, nothing sent to either.
printf 'Lab pass 3\n' >"$T/pw3"
mark
cli onvif set "${uuid[trust]}" --new-password-file "$T/pw3" "${cred[@]}" >"$T/trust-ref.out" 2>"$T/trust-ref.err"
rc=$?; last_err="$T/trust-ref.err"
echo "note neighbour, set by reference --new-password-file: $(since) signed request(s), $(since SetUser) SetUser"
check "neighbour: set by a reference two devices answer is refused, naming both" "1 1 0 0" \
    "$rc $(grep -c '10.98.1.80 and 192.168.77.66\|192.168.77.66 and 10.98.1.80' "$T/trust-ref.err") $(signed liar2) $(signed liar2 SetUser)"

# A move to a fixed address with a new password, while the second
# neighbour announces the camera's reference and claims that address.
mark
cli onvif set 10.98.1.80 --address 10.98.1.180/24 --new-password-file "$T/pw3" "${cred[@]}" --verbose \
    >"$T/trust-set.out" 2>"$T/trust-set.err"
rc=$?; last_err="$T/trust-set.err"
echo "note neighbour, set --address --new-password-file: $(since) signed request(s), $(since SetUser) SetUser, $(temporary "$T/trust-set.err") temporary address(es) for its subnet"
check "neighbour: set --address verified on the camera itself, nothing sent to the neighbour" "0 1 10.98.1.180 0 0" \
    "$rc $(grep -c '^verified' "$T/trust-set.out") $(state trust address) $(signed liar2) $(signed liar2 SetUser)"

# What the PC sent, all of it, in the schemas' terms (the office PC's
# deliberate bad request aside).
grep -h 'schema-invalid' "$T"/*.log | grep -v ' 10\.98\.1\.5 ' >"$T/invalid" || true
check "every request from the PC matches the ONVIF schemas" 0 "$(wc -l <"$T/invalid")"
sed 's/^/       /' "$T/invalid" | head -n 5
check "the emulator's own replies match the schemas" 0 "$(cat "$T"/*.log | grep -c 'reply-invalid')"
check "no temporary address left on the PC" "" \
    "$(lab_exec pc ip -4 -o addr show | grep -E '192\.168\.(9[78]|77)\.|169\.254\.' | awk '{print $4}' | tr '\n' ' ')"

lab_finish onvif
