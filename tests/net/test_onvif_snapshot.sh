#!/usr/bin/env bash
# The camera's still picture in the lab: `onvif snapshot` against emulated
# cameras that serve a JPEG behind HTTP Digest, behind Basic on a Media2
# recorder, an error page instead of a picture, a picture larger than the
# bound, a snapshot address that names another host (a listener stands at
# that host: nothing may reach it, credentials least of all) and no
# snapshot at all. The picture is compared with what curl --digest fetches
# from the same address, and the handover report is written for them.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"
# shellcheck source=lib/checks.sh
. "$here/lib/checks.sh"

lab_require_programs orvanta-cli orvanta-netadmin
lab_onvif_start ovs
T="$LAB_TMP"
failures=0

lab_new_pc
lab_pc_card eth0 main 10.96.1.1/24
printf 'Lab pass 1\n' >"$T/pw"
printf 'not the password\n' >"$T/wrong"

# name, address, HTTP port, the emulator's switches.
cat >"$T/cameras" <<'TABLE'
pic       10.96.1.20/24 80   -
basic     10.96.1.21/24 8080 --snapshot-login basic --media2-only
html      10.96.1.22/24 80   --snapshot not-jpeg
huge      10.96.1.23/24 80   --snapshot huge
elsewhere 10.96.1.24/24 80   --snapshot other-host --snapshot-host 10.96.1.29
none      10.96.1.25/24 80   --no-call GetSnapshotUri --manufacturer <script>alert(1)</script>
TABLE
n=0
declare -A port addr
while read -r name address http opts; do
    n=$((n + 1))
    [ "$opts" = - ] && opts=""
    lab_add_camera_on main "$name" "$address"
    # shellcheck disable=SC2086
    lab_start_bg "$name" "$T/$name.log" "$sim" --uuid "$(printf 'urn:uuid:5a5e0000-0000-4000-8000-%012d' "$n")" \
        --name "Cam $name" --port "$http" --password-file "$T/pw" --check-replies $opts
    port[$name]="$http" addr[$name]="${address%/*}"
done <"$T/cameras"
# Where the odd camera's snapshot address points: anything that connects
# here is written down.
lab_add_camera_on main decoy 10.96.1.29/24
lab_start_bg decoy "$T/decoy.log" /usr/bin/python3 -u -c '
import socket
s = socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1); s.bind(("", 80)); s.listen(8)
while True:
    c, peer = s.accept(); print("connection from", peer[0], c.recv(4096)[:200], flush=True); c.close()'
for name in pic basic html huge elsewhere none; do
    lab_wait_port "$name" tcp "${port[$name]}" 15 || { echo "emulated camera $name did not start" >&2; cat "$T/$name.log" >&2; exit 1; }
done
lab_wait_port decoy tcp 80 10 || { echo "the listener did not start" >&2; exit 1; }

cred=(--user admin --password-file "$T/pw")
snap() {  # snap NAME [options]: exit status; picture in $T/NAME.jpg, stdout in $T/NAME.out, stderr in $T/NAME.err
    local name="$1"; shift
    lab_exec pc "$bin/orvanta-cli" onvif snapshot "${addr[$name]}:${port[$name]}" -o "$T/$name.jpg" "${cred[@]}" "$@" \
        >"$T/$name.out" 2>"$T/$name.err"
    echo $?
}
soi() { head -c 2 "$1" 2>/dev/null | od -An -tx1 | tr -d ' \n'; }

check "a Digest camera's picture: written whole, a JPEG, its size told" "0 ffd8 640x360" \
    "$(snap pic) $(soi "$T/pic.jpg") $(grep -o 'JPEG [0-9]*x[0-9]*' "$T/pic.out" | cut -d' ' -f2)"
check "asked once without a login, then with Digest" "1 1" \
    "$(grep -c 'snapshot 10.96.1.1 /snapshot/profile_1.jpg digest - challenge' "$T/pic.log") $(grep -c 'snapshot 10.96.1.1 /snapshot/profile_1.jpg digest admin ok' "$T/pic.log")"
lab_exec pc curl -s --digest -u 'admin:Lab pass 1' -o "$T/curl.jpg" "http://${addr[pic]}/snapshot/profile_1.jpg"
check "the same bytes as curl --digest fetches from the snapshot address" "yes" \
    "$(cmp -s "$T/pic.jpg" "$T/curl.jpg" && echo yes || echo no)"
lab_exec pc "$bin/orvanta-cli" onvif snapshot "${addr[pic]}" "${cred[@]}" 2>"$T/pipe.err" | cat >"$T/pipe.jpg"
check "to standard output when that is a pipe" "yes" "$(cmp -s "$T/pic.jpg" "$T/pipe.jpg" && echo yes || echo no)"
check "Basic on a Media2 recorder, the JSON form" '0 640 360 "http://10.96.1.21:8080/snapshot/profile_1.jpg"' \
    "$(snap basic --format json) $(/usr/bin/python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); print(d["width"], d["height"], json.dumps(d["uri"]))' "$T/basic.out" 2>/dev/null)"
check "an error page for a picture: exit 1, said, no file left" "1 1 no" \
    "$(snap html) $(grep -c 'not a JPEG picture' "$T/html.err") $([ -e "$T/html.jpg" ] || [ -e "$T/html.jpg.part" ] && echo yes || echo no)"
start=$(date +%s)
check "a picture over 8 MiB: exit 1, said" "1 1" "$(snap huge) $(grep -c 'larger than 8 MiB' "$T/huge.err")"
check "... and given up within the call's limit" "yes" "$([ $(($(date +%s) - start)) -lt 20 ] && echo yes || echo no)"
check "an address naming another host: the picture comes from the camera" "0 ffd8 1" \
    "$(snap elsewhere) $(soi "$T/elsewhere.jpg") $(grep -c 'snapshot 10.96.1.1 /snapshot/profile_1.jpg digest admin ok' "$T/elsewhere.log")"
check "... and nothing reached the host it named" "0" "$(grep -c 'connection from' "$T/decoy.log")"
check "a camera without a snapshot: exit 1, said" "1 1" "$(snap none) $(grep -c 'gives no snapshot address' "$T/none.err")"
check "a wrong password: exit 3" "3" \
    "$(lab_exec pc "$bin/orvanta-cli" onvif snapshot "${addr[pic]}" -o "$T/x.jpg" --user admin --password-file "$T/wrong" >/dev/null 2>&1; echo $?)"
check "no picture to a terminal: usage, nothing sent" "2" \
    "$(script -qec "$(printf '%q ' ip netns exec "$(lab_ns pc)" "$bin/orvanta-cli" onvif snapshot "${addr[pic]}" "${cred[@]}")" /dev/null >/dev/null 2>&1; echo $?)"

# The handover report: the cameras as they are, then a plan run's result.
lab_exec pc "$bin/orvanta-cli" report "${addr[pic]}" "${addr[basic]}:8080" "${addr[html]}" "${addr[elsewhere]}" \
    "${addr[none]}" "${cred[@]}" --site 'Lab & <Co>' -o "$T/report.html" >"$T/report.out" 2>"$T/report.err"
check "report of five cameras: written, one row each, three pictures inline" "0 5 3" \
    "$? $(grep -c '^<tr><td class="picture' "$T/report.html") $(grep -o 'src="data:image/jpeg;base64,' "$T/report.html" | wc -l)"
check "... the camera's markup shown as text, never as markup" "0 1 1" \
    "$(grep -ci '<script' "$T/report.html") $(grep -c '&lt;script&gt;alert(1)&lt;/script&gt;' "$T/report.html") $(grep -c 'Lab &amp; &lt;Co&gt;' "$T/report.html")"
check "... nothing it would fetch" "0" "$(grep -cE '(src|href)="(http|//)' "$T/report.html")"
printf 'kind,address,hostname\nonvif,%s,gate-1\n' "${addr[pic]}" >"$T/plan.csv"
lab_exec pc "$bin/orvanta-cli" provision "$T/plan.csv" "${cred[@]}" --search-seconds 3 --format json \
    --report "$T/run.json" >/dev/null 2>"$T/run.err"
check "the plan run sets the host name" "0" "$?"
lab_exec pc "$bin/orvanta-cli" report --plan-result "$T/run.json" "${cred[@]}" -o "$T/run.html" 2>"$T/runreport.err"
check "report of the run: what it changed and when, the camera read again with its picture" "0 1 1 1 1" \
    "$? $(grep -c 'hostname: labcam → gate-1' "$T/run.html") $(grep -cE '<td>20[0-9-]+T[0-9:]+Z</td>' "$T/run.html") $(grep -c '<td>gate-1</td>' "$T/run.html") $(grep -o 'src="data:image/jpeg' "$T/run.html" | wc -l)"
lab_exec pc "$bin/orvanta-cli" report 10.96.1.99 "${cred[@]}" --timeout 8 -o "$T/gone.html" 2>/dev/null
check "a camera that cannot be read: the report still written, exit 5" "5 1" "$? $(grep -c 'not read' "$T/gone.html")"

check "every request from the PC matches the ONVIF schemas" 0 "$(cat "$T"/*.log | grep -c 'schema-invalid')"
check "the emulator's own replies match the schemas" 0 "$(cat "$T"/*.log | grep -c 'reply-invalid')"
lab_finish onvif-snapshot
