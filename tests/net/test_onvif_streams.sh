#!/usr/bin/env bash
# Streams and users of other makers' cameras, in the lab: a camera with
# Media only, one with Media2 only (H.265 offered), one that states no
# encoder options, one whose profile goes away between the read and the
# change, and a plan that sets the main stream and adds a user on several
# cameras at once. Every request is checked against the ONVIF schemas by
# the emulator; what it holds afterwards is read from its state file.
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
lab_pc_card eth0 main 10.97.1.1/24
printf 'Lab pass 1\n' >"$T/pw"
printf 'Recorder pass 7\n' >"$T/recpw"
chmod 600 "$T/pw" "$T/recpw"

# name, address, the emulator's switches
cat >"$T/cameras" <<'TABLE'
m1     10.97.1.20/24 -
m2     10.97.1.21/24 --media2-only
noopt  10.97.1.22/24 --no-encoder-options
vanish 10.97.1.23/24 --profile-vanishes profile_1
TABLE
n=0
names=()
while read -r name address opts; do
    n=$((n + 1))
    [ "$opts" = - ] && opts=""
    lab_add_camera_on main "$name" "$address"
    # shellcheck disable=SC2086
    lab_start_bg "$name" "$T/$name.log" "$sim" --uuid "urn:uuid:6f5e0000-0000-4000-8000-00000000010$n" \
        --state "$T/$name.json" --password-file "$T/pw" --check-replies $opts
    names+=("$name")
done <"$T/cameras"
# Five more in one process, for the plan.
lab_add_camera_on main farm 10.97.1.100/24
lab_start_bg farm "$T/farm.log" "$sim" --address 10.97.1.100/24 --count 5 --uuid urn:uuid:6f5e0000-0000-4000-8000-000000000200 \
    --state "$T/farm.json" --password-file "$T/pw"
for name in "${names[@]}" farm; do
    lab_wait_port "$name" tcp 80 15 || { echo "emulated camera $name did not start" >&2; cat "$T/$name.log" >&2; exit 1; }
done

# enc CAMERA N: what the emulator's N-th profile (from 0) holds now.
enc() { py "' '.join(str(d['cameras'][${3:-0}]['profiles'][$2]['encoder'][k]) for k in ('encoding', 'width', 'height', 'fps', 'bitrate', 'gop'))" "$T/$1.json"; }
users() { py "' '.join(sorted(u['name'] + ':' + u['level'] for u in d['cameras'][${2:-0}]['users']))" "$T/$1.json"; }
cli() { lab_exec pc "$bin/orvanta-cli" "$@"; }
cred=(--user admin --password-file "$T/pw")
invalid() { grep -c 'schema-invalid' "$T/$1.log"; }

# ---------------------------------------------------------------- read
for cam in m1:10.97.1.20 m2:10.97.1.21; do
    name="${cam%%:*}" a="${cam#*:}"
    cli onvif read "$a" "${cred[@]}" --format json >"$T/read-$name.json" 2>"$T/read-$name.err"
    rc=$?; last_err="$T/read-$name.err"
    check "read $name: both profiles with their encoders and stream URIs" \
        "0 profile_1 H264 2592x1944 25 8192 50 5 profile_2 640x360 True" \
        "$rc $(py '" ".join(str(x) for x in (o["profiles"][0]["token"], o["profiles"][0]["encoding"], o["profiles"][0]["resolution"], o["profiles"][0]["fps"], o["profiles"][0]["bitrate_kbps"], o["profiles"][0]["gop"], o["profiles"][0]["quality"], o["profiles"][1]["token"], o["profiles"][1]["resolution"], all(p["stream_uri"].startswith("rtsp://") for p in o["profiles"])))' "$T/read-$name.json")"
done
check "the Media2-only camera was read through Media2" "1 0" \
    "$(grep -c 'request .* GetVideoEncoderConfigurationOptions\|request 10.97.1.1 GetProfiles' "$T/m2.log" | awk '{print ($1 > 0)}') $(grep -c 'not-supported' "$T/m2.log")"
cli onvif read 10.97.1.20 "${cred[@]}" >"$T/read-text.out" 2>/dev/null
check "read as text: a profile table" "2" "$(grep -cE '^  profile_[12] ' "$T/read-text.out")"

# ---------------------------------------------------------------- set a stream
cli onvif set 10.97.1.20 "${cred[@]}" --profile 1 --resolution 1920x1080 >"$T/off.out" 2>"$T/off.err"
rc=$?; last_err="$T/off.err"
check "a resolution not offered is refused before anything is sent, naming what is" \
    "2 1 0 H264 2592 1944 25 8192 50" \
    "$rc $(grep -c '1920x1080 is not offered; 2592x1944, 1280x720, 640x360 are' "$T/off.err") $(grep -c 'SetVideoEncoderConfiguration' "$T/m1.log") $(enc m1 0)"
cli onvif set 10.97.1.20 "${cred[@]}" --profile profile_1 --resolution 1280x720 --fps 15 --bitrate 4096 --gop 30 --dry-run \
    >"$T/dry.out" 2>"$T/dry.err"
rc=$?; last_err="$T/dry.err"
check "--dry-run prints the change and sends none" \
    "0 1 0" \
    "$rc $(grep -c 'stream profile_1: H264 2592x1944 25 fps 8192 kbit/s GOP 50 quality 5 → H264 1280x720 15 fps 4096 kbit/s GOP 30 quality 5' "$T/dry.out") $(grep -c 'SetVideoEncoderConfiguration' "$T/m1.log")"
cli onvif set 10.97.1.20 "${cred[@]}" --profile profile_1 --resolution 1280x720 --fps 15 --bitrate 4096 --gop 30 \
    >"$T/set1.out" 2>"$T/set1.err"
rc=$?; last_err="$T/set1.err"
check "Media: the main stream is set, read back and verified" "0 1 H264 1280 720 15.0 4096 30 0" \
    "$rc $(grep -c '^verified' "$T/set1.out") $(enc m1 0) $(invalid m1)"
cli onvif set 10.97.1.21 "${cred[@]}" --profile 1 --encoding H265 --resolution 1280x720 --fps 10 --bitrate 2048 \
    >"$T/set2.out" 2>"$T/set2.err"
rc=$?; last_err="$T/set2.err"
check "Media2: the main stream becomes H.265, verified" "0 H265 1280 720 10.0 2048 50 0" "$rc $(enc m2 0) $(invalid m2)"
cli onvif set 10.97.1.21 "${cred[@]}" --profile 2 --fps 12 >"$T/fps.out" 2>"$T/fps.err"
rc=$?; last_err="$T/fps.err"
check "Media2: a frame rate off its list is refused, naming the list" "2 1" \
    "$rc $(grep -c '12 fps is not offered; 30, 25, 20, 15, 10, 5, 1 are' "$T/fps.err")"
cli onvif set 10.97.1.22 "${cred[@]}" --profile 1 --bitrate 2048 >"$T/noopt.out" 2>"$T/noopt.err"
rc=$?; last_err="$T/noopt.err"
check "a camera that states no options: nothing is sent to it" "2 1 0 8192" \
    "$rc $(grep -c 'states no options' "$T/noopt.err") $(grep -c 'SetVideoEncoderConfiguration' "$T/noopt.log") $(py "d['cameras'][0]['profiles'][0]['encoder']['bitrate']" "$T/noopt.json")"
cli onvif read 10.97.1.22 "${cred[@]}" --format json >"$T/noopt.json.out" 2>/dev/null
check "... and is still read with what it has" "0 2" "$? $(py 'len(o["profiles"])' "$T/noopt.json.out")"
cli onvif set 10.97.1.23 "${cred[@]}" --profile profile_1 --bitrate 2048 >"$T/vanish.out" 2>"$T/vanish.err"
rc=$?; last_err="$T/vanish.err"
check "a profile that went between the read and the set: the change fails and says so" "1 1 1" \
    "$(( rc != 0 )) $(grep -c 'SetVideoEncoderConfiguration failed' "$T/vanish.err") $(grep -c 'profile-vanished profile_1' "$T/vanish.log")"

# ---------------------------------------------------------------- users
cli onvif users 10.97.1.20 "${cred[@]}" >"$T/users.out" 2>"$T/users.err"
check "users lists the camera's users and levels" "0 admin Administrator" "$? $(cat "$T/users.out")"
cli onvif set 10.97.1.20 "${cred[@]}" --add-user recorder --user-level Operator --user-password-file "$T/recpw" \
    >"$T/add.out" 2>"$T/add.err"
rc=$?; last_err="$T/add.err"
check "a user is added from a password file, read back by listing" "0 admin:Administrator recorder:Operator 0" \
    "$rc $(users m1) $(grep -c 'Recorder pass' "$T/add.out" "$T/add.err" "$T/m1.log" | awk -F: '{s += $2} END {print s}')"
check "... and that user can log in" "0" \
    "$(cli onvif read 10.97.1.20 --user recorder --password-file "$T/recpw" >/dev/null 2>&1; echo $?)"
cli onvif set 10.97.1.20 "${cred[@]}" --remove-user admin >"$T/rm1.out" 2>"$T/rm1.err"
check "the user logged in with is not removed" "2 1" "$? $(grep -c 'logged in with' "$T/rm1.err")"
cli onvif set 10.97.1.20 "${cred[@]}" --add-user recorder --user-level Administrator --user-password-file "$T/recpw" \
    >/dev/null 2>"$T/lvl.err"
cli onvif set 10.97.1.20 --user recorder --password-file "$T/recpw" --add-user admin --user-level User \
    --user-password-file "$T/pw" >/dev/null 2>"$T/rm2.err"
rc=$?
cli onvif set 10.97.1.20 --user recorder --password-file "$T/recpw" --add-user recorder --user-level Operator \
    --user-password-file "$T/recpw" >/dev/null 2>"$T/rm2b.err"
check "an administrator may step down, but not the last one" "0 2 1 admin:User recorder:Administrator" \
    "$rc $? $(grep -c 'logged in with' "$T/rm2b.err") $(users m1)"
cli onvif set 10.97.1.20 --user recorder --password-file "$T/recpw" --add-user admin --user-level Administrator \
    --user-password-file "$T/pw" >/dev/null 2>&1
cli onvif set 10.97.1.20 "${cred[@]}" --remove-user recorder >/dev/null 2>"$T/rm3.err"
check "another user is removed" "0 admin:Administrator" "$? $(users m1)"
check "no password on any command line" "0" "$(grep -c 'pass 1\|pass 7' "$T"/*.err | awk -F: '{s += $2} END {print s}')"

# ---------------------------------------------------------------- a plan
{
    echo "kind,address,profile,resolution,fps,bitrate,gop,add_user,user_level,user_password_file"
    for i in 0 1 2 3; do
        echo "onvif,10.97.1.10$i,1,1280x720,15,4096,25,recorder,Operator,$T/recpw"
    done
    echo "onvif,10.97.1.104,1,1920x1080,15,4096,25,recorder,Operator,$T/recpw"
} >"$T/plan.csv"
cli provision "$T/plan.csv" "${cred[@]}" --format json >"$T/plan.json" 2>"$T/plan.err"
rc=$?; last_err="$T/plan.err"
check "a plan sets four main streams and adds the user; the fifth fails its row naming what is offered" \
    "1 done done done done failed 1" \
    "$rc $(py '" ".join(r["status"] for r in sorted(d["rows"] if isinstance(d, dict) else d, key=lambda r: r.get("address", "")))' "$T/plan.json") $(grep -c '1920x1080 is not offered' "$T/plan.json")"
check "the emulator holds the plan's stream and user" "H264 1280 720 15.0 4096 25 admin:Administrator recorder:Operator" \
    "$(enc farm 0 2) $(users farm 2)"
check "the plan file holds no password, and none reached the output" "0" \
    "$(grep -c 'Recorder pass' "$T/plan.csv" "$T/plan.json" "$T/plan.err" | awk -F: '{s += $2} END {print s}')"

lab_finish "ONVIF streams"
