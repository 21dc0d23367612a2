#!/usr/bin/env bash
# Installs the build's two components into a temporary root under an unusual
# prefix and checks what each package would hold: the programs where they
# belong (the helper and the test tools out of PATH, the test tools only in
# the demo component), the language files, icon, desktop file and manual
# pages, and that the desktop file and the AppStream metadata validate.
# As root it also starts the installed wizard (offscreen, in a namespace of
# its own with nothing but loopback) and checks that its first page has
# captions: the data must be found relative to the program, not at the
# prefix compiled in.
set -euo pipefail
build="${ORVANTA_BUILD_DIR:?}"
src="${ORVANTA_SOURCE_DIR:?}"
root=$(mktemp -d)
ns=
cleanup() {
    [ -n "$ns" ] && ip netns del "$ns" 2>/dev/null
    rm -rf "$root"
}
trap cleanup EXIT
prefix=/opt/orvanta-layout
DESTDIR="$root/main" cmake --install "$build" --prefix "$prefix" --component main >/dev/null
DESTDIR="$root/demo" cmake --install "$build" --prefix "$prefix" --component demo >/dev/null
fail=0
need() {  # need COMPONENT PATH...
    local c="$1" p; shift
    for p in "$@"; do [ -e "$root/$c$prefix/$p" ] || { echo "missing from $c: $p"; fail=1; }; done
}
lacks() {
    local c="$1" p; shift
    for p in "$@"; do [ ! -e "$root/$c$prefix/$p" ] || { echo "$c must not hold $p"; fail=1; }; done
}
need main bin/orvanta bin/orvanta-cli libexec/orvanta/orvanta-netadmin share/orvanta/orvanta.ini \
    share/applications/org.orvanta.Orvanta.desktop share/metainfo/org.orvanta.Orvanta.metainfo.xml \
    share/icons/hicolor/scalable/apps/org.orvanta.Orvanta.svg \
    share/man/man1/orvanta.1 share/man/man1/orvanta-cli.1 share/man/man8/orvanta-netadmin.8
lacks main bin/orvanta-netadmin bin/orvanta-camsim libexec/orvanta/orvanta-camsim libexec/orvanta/lab.sh \
    libexec/orvanta/orvanta-demo
need demo libexec/orvanta/orvanta-camsim libexec/orvanta/orvanta-demo libexec/orvanta/lab.sh
lacks demo bin/orvanta bin/orvanta-camsim
ls "$root/main$prefix"/share/orvanta/Language/*.ini >/dev/null 2>&1 || { echo "no language files installed"; fail=1; }
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/main$prefix/share/applications/org.orvanta.Orvanta.desktop" || fail=1
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/main$prefix/share/metainfo/org.orvanta.Orvanta.metainfo.xml" >/dev/null ||
        fail=1
fi
# The icon the desktop file and the metadata name is the one installed.
grep -qx 'Icon=org.orvanta.Orvanta' "$root/main$prefix/share/applications/org.orvanta.Orvanta.desktop" ||
    { echo "the desktop file names another icon"; fail=1; }

# The simulator answers --version and refuses a mistyped option, both
# without starting a camera. Both sides are switched off here, so that a
# simulator that ignored the option would only idle until the time-out and
# never bind a port or answer a broadcast on this machine.
camsim="$root/demo$prefix/libexec/orvanta/orvanta-camsim"
quiet=(--no-discovery --no-web)
if ! timeout 5 "$camsim" "${quiet[@]}" --version | grep -q '^orvanta-camsim '; then
    echo "orvanta-camsim --version"; fail=1
fi
if timeout 5 "$camsim" "${quiet[@]}" --http-prot 8080 >/dev/null 2>&1; then
    echo "orvanta-camsim took --http-prot"; fail=1
fi

if [ "$(id -u)" = 0 ] && ip netns list >/dev/null 2>&1; then
    ns="${ORVANTA_LAB_PREFIX:-}ovlayout-$$"
    ip netns add "$ns"
    ip -n "$ns" link set lo up
    mkdir -m 0700 "$root/home"
    printf '[DefaultLang]\nLangFile=English (ENG).ini\n' >"$root/home/defaultlang.ini"
    line="$(ip netns exec "$ns" env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen \
        ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" XDG_RUNTIME_DIR="$root/home" ORVANTA_CONFIG_DIR="$root/home" \
        ORVANTA_PROBE_HOST=127.0.0.1 ORVANTA_PROBE_PORT=9 ORVANTA_LISTING_HOST= \
        timeout 60 "$root/main$prefix/bin/orvanta" --measure-startup 2>/dev/null | grep startup_ms || true)"
    case "$line" in
        *"first_page_buttons="*"Setup Camera"*) ;;
        *) echo "the installed wizard's first page has no captions: ${line:-(no answer)}"; fail=1 ;;
    esac
fi
exit $fail
