#!/usr/bin/env bash
# Installs the build into a temporary root and checks what a package would
# hold: the programs, the language files, desktop integration and manual pages,
# and that the desktop file and the AppStream metadata validate.
set -euo pipefail
build="${ORVANTA_BUILD_DIR:?}"
src="${ORVANTA_SOURCE_DIR:?}"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
fail=0
need() { [ -e "$root/$1" ] || { echo "missing after install: $1"; fail=1; }; }
need usr/bin/orvanta-cli
need usr/bin/orvanta-camsim
need usr/share/applications/orvanta.desktop
need usr/share/metainfo/org.orvanta.Orvanta.metainfo.xml
need usr/share/man/man1/orvanta.1
need usr/share/man/man1/orvanta-cli.1
ls "$root"/usr/share/orvanta/Language/*.ini >/dev/null 2>&1 || { echo "no language files installed"; fail=1; }
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$src/packaging/orvanta.desktop" || fail=1
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$src/packaging/org.orvanta.Orvanta.metainfo.xml" >/dev/null || fail=1
fi
exit $fail
