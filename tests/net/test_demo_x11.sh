#!/usr/bin/env bash
# The demo as a person starts it (orvanta-demo, as root) under Xvfb, with the
# walk-through program standing in for the wizard inside the demo's PC
# namespace: the search page lists the three cameras, the camera in the
# other subnet asks for its root login and is read with the demo password,
# and every namespace of the demo is gone afterwards. Also that the wizard's
# --demo option finds the script.
set -u
bin="${ORVANTA_BIN_DIR:?ORVANTA_BIN_DIR must name the built programs}"
src="${ORVANTA_SOURCE_DIR:?ORVANTA_SOURCE_DIR must name the source tree}"
build="${ORVANTA_BUILD_DIR:-$bin/..}"
[ "$(id -u)" = 0 ] || { echo "needs root for network namespaces; skipped" >&2; exit 77; }
for p in orvanta orvanta-camsim orvanta-demo x11_walkthrough_guiprog; do
    [ -x "$bin/$p" ] || { echo "missing $bin/$p (a build without the GUI?); skipped" >&2; exit 77; }
done
command -v Xvfb >/dev/null 2>&1 || { echo "Xvfb is not installed; skipped" >&2; exit 77; }

T="$(mktemp -d /tmp/ovx-demo.XXXXXX)"
out="$build/test-artifacts/demo"
xpid=
cleanup() {
    [ -n "$xpid" ] && { kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; }
    rm -rf -- "$T"
}
trap cleanup EXIT
# The X server uses only local sockets; the demo's namespace reaches it
# through the socket file, as a wizard started from a desktop would.
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$T/display" 2>"$T/xvfb.log" &
xpid=$!
for _ in $(seq 1 100); do [ -s "$T/display" ] && break; sleep 0.05; done
[ -s "$T/display" ] || { echo "Xvfb did not start" >&2; cat "$T/xvfb.log" >&2; exit 1; }
rm -rf "$out"
mkdir -p "$out"

prefix="ovx$$"
DISPLAY=":$(cat "$T/display")" QT_QPA_PLATFORM=xcb HOME="$T" XDG_RUNTIME_DIR="$T" \
    ORVANTA_DEMO_PREFIX="$prefix" \
    ORVANTA_DEMO_COMMAND="$bin/x11_walkthrough_guiprog --out $out --source $src --path login --camera 192.168.5.20 --expect-cameras 3 --password demo" \
    "$bin/orvanta-demo" >"$out/demo.log" 2>&1
rc=$?
grep -v '^recvfrom\|^Is not reply\|^Failed in receive' "$out/demo.log"

failures=0
check() {  # check NAME command...
    local name="$1"; shift
    if "$@"; then echo "ok   $name"; else echo "FAIL $name"; failures=$((failures + 1)); fi
}
has() { grep -qF -- "$1" "$out/demo.log"; }
check "demo exits 0" [ "$rc" = 0 ]
check "wired camera listed" has "walkthrough: found 192.168.1.20 "
check "remote camera listed" has "walkthrough: found 192.168.5.20 "
check "wireless camera listed" has "/wireless"
check "remote camera asks for the login" has "walkthrough: dialog orvanta::RootLoginDialog"
check "remote camera read with the demo password" has "walkthrough: reached system-after-login"
# `orvanta --demo` hands over to this script; run as an ordinary user the
# script answers that it needs root, which proves the handover.
demo_as_user() {
    command -v runuser >/dev/null 2>&1 || { echo "skip orvanta --demo as an ordinary user: no runuser here"; return 0; }
    # The build tree may be closed to other users (a clone in a 0700
    # folder): the user runs copies, laid out as the build lays them out.
    local dir="$T/any-user"
    mkdir -p "$dir" && chmod 755 "$T" "$dir" &&
        cp "$bin/orvanta" "$bin/orvanta-demo" "$bin/orvanta-camsim" "$bin/lab.sh" "$dir/" || return 1
    runuser -u nobody -- env ORVANTA_BIN_DIR="$dir" "$dir/orvanta" --demo 2>&1 |
        grep -q "orvanta-demo: the demo builds a private network namespace"
}
check "orvanta --demo starts orvanta-demo" demo_as_user
check "demo namespaces removed" bash -c "! ip netns list | grep -q '^${prefix}-'"

# Without a display the demo says so before it builds anything.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$T" ORVANTA_DEMO_PREFIX="$prefix" \
    "$bin/orvanta-demo" >"$out/demo-nodisplay.log" 2>&1
check "no display: refused before any namespace" bash -c \
    "grep -q 'no display' '$out/demo-nodisplay.log' && ! grep -q 'cameras are up' '$out/demo-nodisplay.log'"

# Run through sudo by an ordinary user (here nobody): the demo first removes
# what a killed demo left (a namespace and a scratch folder of a pid that
# cannot be running), then runs the command in place of the window as that
# user, holding no capability itself, while the helper it is given still
# gets them (its ARP probe works).
full="${ORVANTA_LAB_PREFIX:-}$prefix"
ip netns add "$full-4194305-pc"
mkdir -m 0700 "/tmp/$full-4194305.stale"
# What another user planted under the demo's names is skipped with a line, not removed.
planted_file="/tmp/$full-4194306.planted" planted_link="/tmp/$full-4194307.link"
runuser -u nobody -- touch "$planted_file"
runuser -u nobody -- ln -s /etc "$planted_link"
chmod 0755 "$T"
cat >"$T/as-user.sh" <<'EOS'
echo "uid=$(id -u) $(grep CapEff /proc/self/status | tr -d '\t')"
echo "probe eth0 192.168.1.99 300" | "$ORVANTA_NETADMIN" eth0 | sed 's/^/helper: /'
EOS
SUDO_UID=65534 SUDO_GID=65534 QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$T" ORVANTA_DEMO_PREFIX="$prefix" \
    ORVANTA_DEMO_COMMAND="bash $T/as-user.sh" "$bin/orvanta-demo" >"$out/demo-user.log" 2>&1
rc=$?
cat "$out/demo-user.log"
check "planted files do not stop the demo" [ "$rc" = 0 ]
check "a planted file and link are left alone, with a line each" bash -c \
    "[ -f '$planted_file' ] && [ -L '$planted_link' ] && [ \$(grep -c 'left /tmp/$full-.* alone' '$out/demo-user.log') = 2 ]"
check "a killed demo's namespace is removed" bash -c "! ip netns list | grep -q '^$full-4194305-'"
check "a killed demo's scratch folder is removed" [ ! -e "/tmp/$full-4194305.stale" ]
check "the window runs as the user, without capabilities" grep -q "^uid=65534 CapEff:0000000000000000" "$out/demo-user.log"
check "the helper still gets its capabilities" grep -q "^helper: free" "$out/demo-user.log"
ip netns del "$full-4194305-pc" 2>/dev/null
rm -rf "/tmp/$full-4194305.stale" "$planted_file" "$planted_link"
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
