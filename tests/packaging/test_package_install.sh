#!/usr/bin/env bash
# The Debian packages as an administrator meets them: builds them
# (scripts/package, or takes them from ORVANTA_DEB_DIR), installs them for real
# with apt-get without a question hanging, checks the helper's owner, mode and
# capabilities through the debconf answer (also that an administrator's own
# override stays), starts the installed wizard as an ordinary user, offscreen,
# in a lab namespace and checks its first page has captions, checks that
# `orvanta --demo` names the demo package when it is missing, and that purge
# leaves no file, group, override or debconf answer behind. Whatever happens,
# the packages (and anything apt pulled in for them) are purged at the end.
# lintian, when installed, must report no error.
set -uo pipefail
src="${ORVANTA_SOURCE_DIR:?}"
[ "$(id -u)" = 0 ] || { echo "installs packages and needs root; skipped" >&2; exit 77; }
for p in apt-get dpkg-deb dpkg-statoverride debconf-set-selections getcap setpriv; do
    command -v "$p" >/dev/null 2>&1 || { echo "$p is missing; skipped" >&2; exit 77; }
done
for p in orvanta orvanta-demo; do
    if dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qv '^not-installed$'; then
        echo "$p is installed on this machine; this test will not replace it; skipped" >&2
        exit 77
    fi
done

# shellcheck source=/dev/null
. "$src/tests/net/lib/lab.sh"
lab_init pkg
lab_tmpdir
chmod 0755 "$LAB_TMP"
helper=/usr/libexec/orvanta/orvanta-netadmin
export DEBIAN_FRONTEND=noninteractive

dpkg-query -W -f='${Package}\n' | sort >"$LAB_TMP/before"
purge_everything() {
    local added
    added="$(dpkg-query -W -f='${Package}\n' | sort | comm -13 "$LAB_TMP/before" - | tr '\n' ' ')"
    apt-get purge -y -q -o DPkg::Lock::Timeout=300 orvanta-demo orvanta $added >/dev/null 2>&1 || dpkg --purge orvanta-demo orvanta >/dev/null 2>&1
    # An override this test set as "the administrator" goes as well.
    dpkg-statoverride --remove "$helper" >/dev/null 2>&1 || true
}
on_exit() {
    local rc=$?
    purge_everything
    lab_cleanup
    exit "$rc"
}
trap on_exit EXIT

debs="${ORVANTA_DEB_DIR:-}"
if [ -z "$debs" ]; then
    debs="$LAB_TMP/debs"
    "$src/scripts/package" "$debs" || { echo "FAIL scripts/package"; exit 1; }
fi
deb_main="$(ls "$debs"/orvanta_*.deb 2>/dev/null | head -1)"
deb_demo="$(ls "$debs"/orvanta-demo_*.deb 2>/dev/null | head -1)"
[ -f "$deb_main" ] && [ -f "$deb_demo" ] || { echo "FAIL no packages in $debs"; exit 1; }

if command -v lintian >/dev/null 2>&1; then
    lintian --tag-display-limit 0 "$deb_main" "$deb_demo" >"$LAB_TMP/lintian" 2>&1
    sed 's/^/lintian: /' "$LAB_TMP/lintian"
    lab_check "lintian reports no error" bash -c "! grep -q '^E: ' '$LAB_TMP/lintian'"
fi

# No terminal question may hold up an unattended install.
install_both() {
    timeout 600 apt-get install -y -q -o DPkg::Lock::Timeout=300 --no-install-recommends "$deb_main" "$deb_demo" \
        </dev/null >"$LAB_TMP/apt.log" 2>&1 || { cat "$LAB_TMP/apt.log"; return 1; }
}
lab_check "the packages install without a question" install_both
lab_check "group orvanta exists" bash -c "getent group orvanta >/dev/null"
lab_check "helper is root:orvanta 0750" bash -c "[ \"\$(stat -c '%U:%G %a' $helper)\" = 'root:orvanta 750' ]"
lab_check "helper has no capabilities unless the administrator said yes" bash -c "[ -z \"\$(getcap $helper)\" ]"
echo "orvanta orvanta/grant-capabilities boolean true" | debconf-set-selections
dpkg-reconfigure orvanta </dev/null
lab_check "yes gives the helper its capabilities" bash -c "getcap $helper | grep -q 'cap_net_admin,cap_net_raw=ep'"
# The administrator's own owner and mode survive a configure.
dpkg-statoverride --remove "$helper" >/dev/null
dpkg-statoverride --update --add root root 0700 "$helper"
dpkg-reconfigure orvanta </dev/null
lab_check "an administrator's override stays" bash -c "[ \"\$(stat -c '%U:%G %a' $helper)\" = 'root:root 700' ]"
lab_check "... and the capabilities are granted again" bash -c "getcap $helper | grep -q cap_net_admin"
dpkg-statoverride --remove "$helper" >/dev/null
echo "orvanta orvanta/grant-capabilities boolean false" | debconf-set-selections
dpkg-reconfigure orvanta </dev/null
lab_check "no takes them away; our override is back" \
    bash -c "[ -z \"\$(getcap $helper)\" ] && [ \"\$(stat -c '%U:%G %a' $helper)\" = 'root:orvanta 750' ]"
lab_check "test tools are not on PATH" bash -c "[ ! -e /usr/bin/orvanta-camsim ] && [ ! -e /usr/bin/orvanta-netadmin ]"

# The installed wizard, started by an ordinary user in a namespace of its
# own: its first page shows the captions of the installed language files,
# and it writes its language choice to the user's folder, not beside itself.
lab_add_pc 192.168.1.10/24
user_home="$LAB_TMP/home"
mkdir -p "$user_home/.config/orvanta"
printf '[DefaultLang]\nLangFile=English (ENG).ini\n' >"$user_home/.config/orvanta/defaultlang.ini"
chown -R nobody: "$user_home"
lab_exec pc setpriv --reuid=nobody --regid=nogroup --clear-groups -- \
    env -i PATH=/usr/bin:/bin HOME="$user_home" XDG_RUNTIME_DIR="$user_home" QT_QPA_PLATFORM=offscreen \
    ORVANTA_PROBE_HOST=127.0.0.1 ORVANTA_PROBE_PORT=9 ORVANTA_LISTING_HOST= \
    timeout 60 /usr/bin/orvanta --measure-startup >"$LAB_TMP/startup" 2>"$LAB_TMP/startup.err"
cat "$LAB_TMP/startup"
lab_check "installed wizard shows its first page with captions" \
    grep -q 'first_page_visible=1 .*first_page_buttons=.*Setup Camera' "$LAB_TMP/startup"
lab_check "nothing written beside the installed program" bash -c "[ ! -e /usr/bin/defaultlang.ini ]"
# A user outside the group reaches the installed helper and is told how to
# join (the ARP probe stays inside the lab's PC namespace).
lab_exec pc setpriv --reuid=nobody --regid=nogroup --clear-groups -- /usr/bin/orvanta-cli probe 192.168.1.99 --source 192.168.1.10 \
    >"$LAB_TMP/probe" 2>&1
cat "$LAB_TMP/probe"
lab_check "a user outside the group is told to join it" \
    grep -q 'libexec/orvanta/orvanta-netadmin: Permission denied (only members of the group orvanta may; an administrator adds you with: adduser nobody orvanta' "$LAB_TMP/probe"

# The installed demo finds the installed wizard, simulator and lab library,
# and runs the window as the user who called sudo.
installed_demo() {
    SUDO_UID=65534 QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$user_home" \
        ORVANTA_CONFIG_DIR="$user_home/.config/orvanta" ORVANTA_DEMO_PREFIX=pkgdemo \
        ORVANTA_DEMO_COMMAND="/usr/bin/orvanta --measure-startup" \
        timeout 120 /usr/libexec/orvanta/orvanta-demo >"$LAB_TMP/demo.log" 2>&1
    grep -q 'first_page_visible=1 .*Setup Camera' "$LAB_TMP/demo.log" || { cat "$LAB_TMP/demo.log"; return 1; }
}
lab_check "the installed demo starts the wizard" installed_demo

# Remove the demo first: the wizard then says which package brings it.
apt-get purge -y -q -o DPkg::Lock::Timeout=300 orvanta-demo >/dev/null 2>&1
lab_check "orvanta --demo names the missing package" bash -c \
    "setpriv --reuid=nobody --regid=nogroup --clear-groups -- /usr/bin/orvanta --demo 2>&1 | grep -q 'package orvanta-demo'"

dpkg -L orvanta >"$LAB_TMP/files"
apt-get purge -y -q -o DPkg::Lock::Timeout=300 orvanta >/dev/null 2>&1
left=()
while IFS= read -r f; do
    [ -e "$f" ] && [ ! -d "$f" ] && left+=("$f")
done <"$LAB_TMP/files"
for d in /usr/libexec/orvanta /usr/share/orvanta /usr/share/doc/orvanta /usr/share/doc/orvanta-demo; do
    [ -e "$d" ] && left+=("$d")
done
lab_check "purge leaves no file (${left[*]:-none})" [ "${#left[@]}" = 0 ]
lab_check "purge removes the group" bash -c "! getent group orvanta >/dev/null"
lab_check "purge removes the override" bash -c "! dpkg-statoverride --list $helper >/dev/null"
lab_check "purge removes the debconf answer" bash -c \
    "! echo 'GET orvanta/grant-capabilities' | debconf-communicate orvanta 2>/dev/null | grep -q '^0 '"
lab_finish package
