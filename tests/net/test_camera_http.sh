#!/usr/bin/env bash
# Camera configuration over HTTP in the lab: orvanta-cli from the PC
# namespace against simulated cameras, each in its own namespace: a full
# read, both saves checked against what the camera stored, a camera with a
# root password, every misbehaviour, and the listing server.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"

lab_require_programs orvanta-camsim orvanta-cli

lab_init ovc
lab_tmpdir
T="$LAB_TMP"
lab_add_pc 10.93.0.1/24
lab_add_camera cam 10.93.0.10/24
lab_add_camera wps 10.93.0.20/24
lab_add_camera lock 10.93.0.30/24
lab_add_camera bad 10.93.0.40/24
lab_add_camera lst 10.93.0.50/24

cli() { lab_exec pc "$bin/orvanta-cli" "$@"; }
start_cam() {  # start_cam NAME args...
    local name="$1"; shift
    lab_start_bg "$name" "$T/$name.log" "$bin/orvanta-camsim" "$@"
    lab_wait_port "$name" tcp 80 10 || { echo "camera $name did not start" >&2; cat "$T/$name.log" >&2; exit 1; }
}

printf 'IPAddr=10.93.0.10\nNetmask=255.255.255.0\nSerialNo=SN-LAB-1\nMAC=02:00:00:93:00:0a\n' >"$T/cam.conf"
start_cam cam --config "$T/cam.conf" --mac 02:00:00:93:00:0a --serial SN-LAB-1 --iface eth0 \
    --readdress-delay-ms 300 --request-log "$T/cam.req" \
    --ap "Home Net,00:11:22:33:44:55,Infra,6,80,WPA-PSK" --ap "Cafe,00:11:22:33:44:66,Adhoc,11,40,None,AES"
printf 'IPAddr=10.93.0.20\nSSID=Kept Net\nTitleBar=Before\n' >"$T/wps.conf"
start_cam wps --no-discovery --config "$T/wps.conf" --request-log "$T/wps.req" --wps-after 3
# The locked camera's description holds an escape sequence, a C1 control and
# a byte that is not UTF-8: what a terminal, and a JSON parser, must not get raw.
printf 'Desp=esc\033]0;x\007\302\233\351end\n' >"$T/lock.conf"
start_cam lock --no-discovery --root-password 's3cret pw' --config "$T/lock.conf"
lab_start_bg lst "$T/lst.log" "$bin/orvanta-camsim" --listing-server --request-log "$T/lst.req" \
    --listing "acct,pw,device,cam-1,10.93.0.10,80,02:00:00:93:00:0a,OV-100W" \
    --listing "acct,pw,device,cam-2,10.93.0.20,8080,02:00:00:93:00:14,OV-200" \
    --listing "someone,pw,user"
lst=$LAB_LAST_PID
lab_wait_port lst tcp 80 10 || { echo "listing server did not start" >&2; exit 1; }

failures=0
has() { grep -qxF -- "$2" "$1"; }  # has FILE LINE

# A full read: every field printed, the scan included, JSON well formed.
full_read() {
    cli read 10.93.0.10 >"$T/read.ini" || return 1
    has "$T/read.ini" "IPAddr=10.93.0.10" && has "$T/read.ini" "ModelName=OV-100W" &&
        has "$T/read.ini" "Loaded=1" && has "$T/read.ini" "APScanOK=1" && has "$T/read.ini" "APCount=2" &&
        has "$T/read.ini" "HasWireless=1" && has "$T/read.ini" "Version=1.0.7" &&
        [ "$(grep -c '=' "$T/read.ini")" -ge 90 ] || return 1
    # JSON: snake_case keys, numbers as numbers, no secrets or internal state
    # unless asked; CSV: one row a camera under exactly the JSON keys.
    cli read 10.93.0.10:80 --format json >"$T/read.json" || return 1
    cli read 10.93.0.10 10.93.0.20 --format csv >"$T/read.csv" || return 1
    cli read 10.93.0.10 --format json --show-secrets >"$T/read-secrets.json" || return 1
    python3 - "$T/read.json" "$T/read.csv" "$T/read-secrets.json" <<'PY'
import csv, json, re, sys
d = json.load(open(sys.argv[1]))
assert len(d) == 1, d
cam = d[0]
assert cam["address"] == "10.93.0.10" and cam["port"] == 80 and cam["ssid"] == "" and cam["model"] == "OV-100W", cam
assert isinstance(cam["http_port"], int) and isinstance(cam["has_wireless"], int), cam
assert all(re.fullmatch("[a-z0-9_]+", k) for k in cam), cam.keys()
assert not any(k in cam for k in ("loaded", "keep_connecting", "host_ip", "password", "wpa_key", "ddns_password")), cam
rows = list(csv.reader(open(sys.argv[2], newline="")))
assert rows[0] == list(cam.keys()), rows[0]
assert [r[0] for r in rows[1:]] == ["10.93.0.10", "10.93.0.20"], rows
assert "wpa_key" in json.load(open(sys.argv[3]))[0]
PY
}
lab_check "full read" full_read

scan() {
    cli scan-ap 10.93.0.10 >"$T/scan.out" || return 1
    head -1 "$T/scan.out" | grep -qx 'ssid	mac	channel	quality	mode	security	algorithm' &&
        grep -qF 'Home Net	00:11:22:33:44:55	6	80	Infra	WPA-PSK' "$T/scan.out" && grep -qF '	AES' "$T/scan.out"
}
lab_check "scan-ap" scan

# The normal save: values with spaces, "&" and "=" arrive whole; the camera
# moves to its new address and is read there.
normal_save() {
    sed -e 's/^TitleBar=.*/TitleBar=Lab Cam 2/' -e 's/^SSID=.*/SSID=Lab Net \& Co/' \
        -e 's/^WPAKey=.*/WPAKey=k\&y=1 2%/' -e 's/^DDNSHost=.*/DDNSHost=cam.lab/' \
        -e 's/^NTPName=.*/NTPName=ntp lab/' -e 's/^IPType=.*/IPType=1/' -e 's/^IPAddr=.*/IPAddr=10.93.0.11/' \
        "$T/read.ini" >"$T/save.ini"
    cli save 10.93.0.10 --settings "$T/save.ini" >"$T/save.out" || { cat "$T/save.out"; return 1; }
    [ "$(grep -c '^write ' "$T/save.out")" = 4 ] || { cat "$T/save.out" >&2; return 1; }
    for line in "TitleBar=Lab Cam 2" "SSID=Lab Net & Co" "WPAKey=k&y=1 2%" "DDNSHost=cam.lab" \
                "NTPName=ntp lab" "IPAddr=10.93.0.11"; do
        has "$T/cam.conf" "$line" || { echo "camera lacks $line" >&2; return 1; }
    done
    local i
    for i in $(seq 1 40); do
        lab_exec cam ip -4 addr show dev eth0 | grep -q 'inet 10.93.0.11/24' && break
        sleep 0.1
    done
    lab_exec cam ip -4 addr show dev eth0 | grep -q 'inet 10.93.0.11/24' || { echo "camera did not move" >&2; return 1; }
    cli read 10.93.0.11 >"$T/moved.ini" || { echo "no read at the new address" >&2; return 1; }
    has "$T/moved.ini" "TitleBar=Lab Cam 2"
}
lab_check "normal save, camera moves and answers at its new address" normal_save

rediscover() {
    cli discover --seconds 2 --format csv 2>/dev/null | grep -q '10.93.0.11'
}
lab_check "the moved camera answers discovery at its new address" rediscover

# The WPS save: access checked by a read, system and DDNS written, time
# read, the short network form written (no SSID, no keys).
wps_save() {
    cli read 10.93.0.20 >"$T/wps.ini" || return 1
    sed -e 's/^TitleBar=.*/TitleBar=After WPS/' -e 's/^SSID=.*/SSID=Must Not Go/' \
        -e 's/^UseWPS=.*/UseWPS=1/' "$T/wps.ini" >"$T/wps-save.ini"
    : >"$T/wps.req"
    cli save 10.93.0.20 --wps --settings "$T/wps-save.ini" >"$T/wps-save.out" || return 1
    has "$T/wps.conf" "TitleBar=After WPS" && has "$T/wps.conf" "SSID=Kept Net" &&
        [ "$(sed -n 4p "$T/wps.req")" = "/cgi-bin/config_time.cgi?Act=1" ] &&
        sed -n 5p "$T/wps.req" | grep -q '^/cgi-bin/config_network.cgi?Act=2&Page=3&IPType=' &&
        ! grep -q 'SSID=\|WPAKey=' "$T/wps.req"
}
lab_check "WPS save" wps_save

wps_flow() {
    cli wps status 10.93.0.20 | grep -qx 'WPS=0' || return 1
    cli wps start 10.93.0.20 | grep -q '^sent=' || return 1
    cli wps status 10.93.0.20 | grep -qx 'WPS=1' && cli wps status 10.93.0.20 | grep -qx 'WPS_ACK=0' &&
        cli wps status 10.93.0.20 >"$T/wps3.out" && has "$T/wps3.out" 'WPS=0' && has "$T/wps3.out" 'WPS_ACK=1'
}
lab_check "WPS start and status" wps_flow

# Root password: nothing without it, a wrong one refused, the right one reads.
password() {
    cli read 10.93.0.30 >/dev/null 2>"$T/lock1.err"; [ $? = 3 ] || return 1
    grep -q 'asks for a user name and password' "$T/lock1.err" || return 1
    cli read 10.93.0.30 --user root --password wrong >/dev/null 2>"$T/lock2.err"; [ $? = 3 ] || return 1
    grep -q 'refused' "$T/lock2.err" && ! grep -q 'wrong' "$T/lock2.err" || return 1
    # The password from stdin, a file or the environment; shown only when asked.
    printf 's3cret pw\n' | cli read 10.93.0.30 --user root --password - | grep -qx 'Password=' || return 1
    printf 's3cret pw\n' >"$T/pw"
    chmod 0600 "$T/pw"
    cli read 10.93.0.30 --user root --password-file "$T/pw" --show-secrets 2>"$T/pw.err" |
        grep -qx 'Password=s3cret pw' && [ ! -s "$T/pw.err" ] || return 1
    # One that other users may read still works, with a warning that names it.
    chmod 0644 "$T/pw"
    cli read 10.93.0.30 --user root --password-file "$T/pw" >/dev/null 2>"$T/pw.err" &&
        grep -q "warning: other users can read $T/pw" "$T/pw.err" || return 1
    ORVANTA_PASSWORD='s3cret pw' cli read 10.93.0.30 --user root --format json >"$T/lock.json" || return 1
    ! grep -q 's3cret' "$T/lock.json" || return 1
    python3 -c 'import json,sys; d=json.load(open(sys.argv[1], encoding="utf-8"))[0]["description"]
assert d == "esc\x1b]0;x\x07\x9b\ufffdend", repr(d)' "$T/lock.json" || return 1
    # On a terminal the ini lines lose every control character; in a file they stay for the save.
    lab_exec pc script -qec "'$bin/orvanta-cli' read 10.93.0.30 --user root --password-file '$T/pw'" /dev/null \
        >"$T/tty.out" || return 1
    LC_ALL=C grep -aq '^Desp=esc?]0;x??' "$T/tty.out" && ! LC_ALL=C grep -aq $'\033\\|\007\\|\302\233' "$T/tty.out" || return 1
    cli read 10.93.0.30 --user root --password-file "$T/pw" | LC_ALL=C grep -aq $'^Desp=esc\033]0;x\007' || return 1
    # Refused before anything is written or reported as true.
    cli save 10.93.0.30 --settings "$T/read.ini" --user root --password wrong >"$T/lock3.out" 2>"$T/lock3.err"
    [ $? = 3 ] && [ ! -s "$T/lock3.out" ] && grep -q 'nothing was written' "$T/lock3.err" || return 1
    cli wps status 10.93.0.30 >"$T/lock4.out" 2>/dev/null; [ $? = 3 ] && [ ! -s "$T/lock4.out" ] || return 1
    cli wps status 10.93.0.30 --user root --password wrong >/dev/null 2>&1; [ $? = 3 ]
}
lab_check "root password: none, wrong, right; stdin, file, environment; save and WPS refused" password

# Where a password comes from cannot hold the command or give the password
# away: no device, FIFO or file over 4 KiB as a password file, the --timeout
# watchdog already running while standard input is read, and no echo of a
# password typed at a terminal (which gets its echo back afterwards).
password_sources() {
    mkfifo "$T/pw.fifo"
    head -c 5000 /dev/zero | tr '\0' x >"$T/pw.big"
    local bad start
    for bad in /dev/zero "$T/pw.fifo" "$T/pw.big"; do
        start=$SECONDS
        cli read 10.93.0.30 --user root --password-file "$bad" >/dev/null 2>"$T/pws.err"
        [ $? = 2 ] && [ $((SECONDS - start)) -le 3 ] && grep -q "not a regular file\|more than 4 KiB" "$T/pws.err" ||
            { echo "$bad" >&2; cat "$T/pws.err" >&2; return 1; }
    done
    start=$SECONDS
    cli read 10.93.0.30 --user root --password - --timeout 2 < <(sleep 30) >/dev/null 2>"$T/pws.err"
    [ $? = 4 ] && [ $((SECONDS - start)) -le 6 ] && grep -q 'no result within 2 s' "$T/pws.err" || return 1
    head -c 100000 /dev/zero | cli read 10.93.0.30 --user root --password - >/dev/null 2>"$T/pws.err"
    [ $? = 2 ] && grep -q 'no line end within its first 4 KiB' "$T/pws.err" || return 1
    # The typing waits for the prompt: what comes before echo is off is echoed by the terminal itself.
    { sleep 1; printf 's3cret pw\n'; sleep 1; } |
        lab_exec pc script -qec "'$bin/orvanta-cli' read 10.93.0.30 --user root --password -; stty -a" /dev/null \
        >"$T/tty-pw.out" 2>&1
    grep -q '^Password: ' "$T/tty-pw.out" && grep -aq '^Loaded=1' "$T/tty-pw.out" && ! grep -q 's3cret' "$T/tty-pw.out" &&
        grep -q ' echo ' "$T/tty-pw.out"
}
lab_check "password sources: files checked, stdin bounded and under the watchdog, no echo at a terminal" password_sources

# Each misbehaviour: the expected result, and never a hang.
misbehave() {  # misbehave KIND EXIT PATTERN [camsim args]
    local kind="$1" want="$2" pattern="$3"; shift 3
    start_cam bad --no-discovery --misbehave "$kind" "$@"
    local pid=$LAB_LAST_PID start=$SECONDS rc
    cli read 10.93.0.40 >"$T/bad.out" 2>"$T/bad.err"
    rc=$?
    lab_stop "$pid"
    local took=$((SECONDS - start))
    [ "$rc" = "$want" ] || { echo "$kind: exit $rc" >&2; cat "$T/bad.err" >&2; return 1; }
    [ "$took" -le 20 ] || { echo "$kind: took ${took}s" >&2; return 1; }
    [ -z "$pattern" ] || grep -q -- "$pattern" "$T/bad.err" "$T/bad.out"
}
lab_check "misbehave 404-http10 gives -4" misbehave 404-http10 1 'failed: -4'
lab_check "misbehave 404 gives -5" misbehave 404 1 'failed: -5'
lab_check "misbehave 402 gives -6" misbehave 402 1 'failed: -6'
lab_check "misbehave unauthorized exits 3" misbehave unauthorized 3 'user name and password'
lab_check "misbehave no-wpapskeym gives -7" misbehave no-wpapskeym 1 'failed: -7'
lab_check "misbehave empty gives -3" misbehave empty 4 'failed: -3'
lab_check "misbehave reset fails cleanly" misbehave reset 4 'failed: -[23]'
lab_check "misbehave oversize is cut and read" misbehave oversize 0 'ModelName=OV-100W'
lab_check "misbehave drip is read whole" misbehave drip 0 'Version=1.0.7' --drip-ms 1
lab_check "misbehave never-close returns within the limit" misbehave never-close 0 'Version=1.0.7' \
    --misbehave-path 'Page=23'

# A write the camera does not take fails the save (never "done"); --timeout
# ends a command that would outlast it with exit 4, and valid JSON.
save_refused() {  # save_refused KIND EXIT
    start_cam bad --no-discovery --misbehave "$1" --misbehave-path 'Act=2'
    local pid=$LAB_LAST_PID rc
    cli save 10.93.0.40 --settings "$T/read.ini" >"$T/bad.out" 2>"$T/bad.err"
    rc=$?
    lab_stop "$pid"
    [ "$rc" = "$2" ] && ! grep -q 'done' "$T/bad.out" && grep -q 'write sysinfo failed' "$T/bad.err" ||
        { echo "$1: exit $rc" >&2; cat "$T/bad.out" "$T/bad.err" >&2; return 1; }
}
lab_check "save: a 402 answer to a write exits 1" save_refused 402 1
lab_check "save: a 401 answer to a write exits 3" save_refused unauthorized 3
lab_check "save: a reset write exits 4" save_refused reset 4
overall_limit() {  # a camera that sends one byte every 200 ms
    start_cam bad --no-discovery --misbehave drip --drip-ms 200
    local pid=$LAB_LAST_PID start=$SECONDS rc
    cli read 10.93.0.40 --timeout 2 --format json >"$T/bad.out" 2>"$T/bad.err"
    rc=$?
    lab_stop "$pid"
    [ "$rc" = 4 ] && [ $((SECONDS - start)) -le 5 ] &&
        python3 -c 'import json,sys; assert json.load(open(sys.argv[1]))["error"]["exit_code"] == 4' "$T/bad.out" ||
        { echo "exit $rc after $((SECONDS - start)) s" >&2; cat "$T/bad.out" "$T/bad.err" >&2; return 1; }
}
lab_check "--timeout ends a read of a dripping camera: exit 4" overall_limit

# The listing server in its own namespace.
listing() {
    cli server-list --host 10.93.0.50 --id acct --password pw --type device >"$T/lst.out" || return 1
    [ "$(cat "$T/lst.out")" = "$(printf 'id\tip\tport\tmac\tmodel\ncam-1\t10.93.0.10\t80\t02:00:00:93:00:0a\tOV-100W\ncam-2\t10.93.0.20\t8080\t02:00:00:93:00:14\tOV-200')" ] ||
        { cat "$T/lst.out" >&2; return 1; }
    cli server-list --host 10.93.0.50 --id acct --password pw --type device --format json |
        python3 -c 'import json,sys; d=json.load(sys.stdin); assert [c["id"] for c in d]==["cam-1","cam-2"] and d[1]["port"]==8080' ||
        return 1
    cli server-list --host 10.93.0.50 --id acct --password nope --type device >/dev/null 2>&1; [ $? = 3 ] || return 1
    # A refused user login is a refusal too, not an empty list.
    cli server-list --host 10.93.0.50 --id acct --password nope --type user >"$T/lst2.out" 2>/dev/null; [ $? = 3 ] || return 1
    [ ! -s "$T/lst2.out" ] || return 1
    [ "$(cli server-list --host 10.93.0.50 --id someone --password pw --type user)" = "$(printf 'id\tip\tport\tmac\tmodel')" ] || return 1
    # A 32-character ID with a space and "&" reaches the server whole.
    local id='abcdefghijklmnopqrstuvwxyz 01&34'
    cli server-list --host 10.93.0.50 --id "$id" --password 'p w' --type user >/dev/null 2>&1
    grep -qF 'ID=abcdefghijklmnopqrstuvwxyz%2001%2634&Password=p%20w' "$T/lst.req" || return 1
    cli server-list --host 10.93.0.50 --id "${id}x" --password pw --type user >/dev/null 2>&1; [ $? = 2 ]
}
lab_check "listing server" listing

# Each failure text of the listing server gives no list (exit 1).
listing_fail() {  # listing_fail KIND
    local pid rc
    lab_stop "$lst"
    lab_start_bg lst "$T/lst-$1.log" "$bin/orvanta-camsim" --listing-server --listing-fail "$1" \
        --listing "acct,pw,user,cam-1,10.93.0.10,80,02:00:00:93:00:0a,OV-100W"
    pid=$LAB_LAST_PID
    lab_wait_port lst tcp 80 10 || return 1
    cli server-list --host 10.93.0.50 --id acct --password pw --type "$2" >"$T/lf.out" 2>&1
    rc=$?
    lab_stop "$pid"
    lst=$pid
    [ "$rc" = "$3" ]
}
lab_check "listing 404-http10 gives no list" listing_fail 404-http10 user 1
lab_check "listing 404 gives no list" listing_fail 404 user 1
lab_check "listing 402 gives no list" listing_fail 402 user 1
lab_check "listing Unauthorized refuses a device login" listing_fail unauthorized device 3
lab_check "listing Unauthorized refuses a user login" listing_fail unauthorized user 3

usage() {
    cli read >/dev/null 2>&1; [ $? = 2 ] || return 1
    cli save 10.93.0.10 >/dev/null 2>&1; [ $? = 2 ] || return 1
    cli wps go 10.93.0.10 >/dev/null 2>&1; [ $? = 2 ] || return 1
    # A settings file that leaves out a field the save sends is refused before anything is sent.
    grep -v '^SSID=' "$T/save.ini" >"$T/partial.ini"
    : >"$T/cam.req"
    cli save 10.93.0.11 --settings "$T/partial.ini" >/dev/null 2>&1; [ $? = 2 ] && [ ! -s "$T/cam.req" ] || return 1
    # Bad values are refused before anything is sent, on stderr only.
    : >"$T/cam.req"
    local bad
    for bad in "read 1.2.3.999" "read 10.93.0.11:70000" "read 10.93.0.11 --format xml" "read 10.93.0.11 --timeout 0" \
               "read 10.93.0.11 --password-file $T/none" "save 10.93.0.11 --settings $T/none"; do
        # shellcheck disable=SC2086
        cli $bad >"$T/usage.out" 2>"$T/usage.err"
        [ $? = 2 ] && [ ! -s "$T/usage.out" ] && [ "$(wc -l <"$T/usage.err")" -ge 1 ] || { echo "$bad" >&2; return 1; }
    done
    grep -q 'No such file or directory' "$T/usage.err" && [ ! -s "$T/cam.req" ] || return 1
    cli read --help | grep -q '^usage: orvanta-cli read' && cli help save | grep -q '^usage: orvanta-cli save' || return 1
    cli read 10.93.0.99 >/dev/null 2>&1; [ $? = 4 ] || return 1   # nobody there: connect fails
    # Whatever fails, --format json prints JSON.
    cli read 10.93.0.99 --format json 2>/dev/null | python3 -c 'import json,sys; assert json.load(sys.stdin)["error"]["exit_code"]==4'
}
lab_check "usage errors exit 2 before anything is sent, an absent camera 4" usage

lab_finish "camera HTTP"
