#!/bin/sh
# Gives the helper orvanta-netadmin the two capabilities it needs to add and
# remove the wizard's temporary address and to send ARP probes:
# CAP_NET_ADMIN and CAP_NET_RAW, as file capabilities, so neither the wizard
# nor the helper ever runs as root. Opt-in: run it once after installing.
#
# Usage: sudo packaging/setcap-netadmin.sh [--group GROUP] [PATH-TO-orvanta-netadmin]
# Without a path: the helper beside orvanta (a build tree), else the
# installed one in /usr/libexec/orvanta.
# The helper becomes root:GROUP (default orvanta) with mode 0750 first: with
# its capabilities it must be runnable only by the users an administrator
# put in that group. Without the group the script refuses and says how to
# make it.
# --remove takes the capabilities away again.
set -eu
remove=0
group=orvanta
while [ $# -gt 0 ]; do
    case "$1" in
        --remove) remove=1; shift ;;
        --group) group="${2:?--group needs a name}"; shift 2 ;;
        *) break ;;
    esac
done
helper="${1:-}"
if [ -z "$helper" ]; then
    wizard="$(command -v orvanta 2>/dev/null || true)"
    if [ -n "$wizard" ] && [ -x "$(dirname "$wizard")/orvanta-netadmin" ]; then
        helper="$(dirname "$wizard")/orvanta-netadmin"
    else
        helper=/usr/libexec/orvanta/orvanta-netadmin
    fi
fi
if [ ! -x "$helper" ] || [ -L "$helper" ]; then
    echo "setcap-netadmin: $helper is not an executable file" >&2
    exit 1
fi
if ! command -v setcap >/dev/null 2>&1; then
    echo "setcap-netadmin: setcap not found (Debian package libcap2-bin)" >&2
    exit 1
fi
if [ "$remove" = 1 ]; then
    setcap -r "$helper"
    echo "setcap-netadmin: capabilities removed from $helper"
    exit 0
fi
# Capabilities on a file anyone may replace would hand them to anyone. The
# file must be root's and closed to others, and so must every folder above
# it: a folder another user can write lets them swap the file between our
# check and setcap. With none writable, nobody but root can swap anything,
# so the path checked is the path used. A sticky folder (/tmp) is allowed
# only above a root-owned entry, which others cannot rename or remove.
real="$(readlink -f -- "$helper")"
owner="$(stat -c %u -- "$real")"
if [ "$owner" != 0 ] || [ -n "$(find "$real" -maxdepth 0 -perm /022)" ]; then
    echo "setcap-netadmin: $real must be owned by root and not writable by others" >&2
    exit 1
fi
dir="$(dirname -- "$real")"
while :; do
    set -- $(stat -c '%u %a' -- "$dir")
    mode=$((0$2))
    if [ "$1" != 0 ]; then
        echo "setcap-netadmin: refused: $dir (above $real) is not owned by root" >&2
        exit 1
    fi
    if [ $((mode & 022)) != 0 ] && { [ $((mode & 01000)) = 0 ] || [ "$dir" = "$(dirname -- "$real")" ]; }; then
        echo "setcap-netadmin: refused: $dir (above $real) is writable by other users" >&2
        exit 1
    fi
    [ "$dir" = / ] && break
    dir="$(dirname -- "$dir")"
done
if ! getent group "$group" >/dev/null 2>&1; then
    echo "setcap-netadmin: refused: there is no group $group to limit the helper to; make it with: addgroup --system $group" \
        "(then let each user who sets up cameras in other subnets in: adduser USER $group)" >&2
    exit 1
fi
# Before setcap: a change of owner takes file capabilities away.
chown "root:$group" "$real"
chmod 0750 "$real"
before="$(stat -c '%d:%i' -- "$real")"
setcap cap_net_admin,cap_net_raw+ep "$real"
# Belt and braces: the file that got the capabilities is the one checked.
if [ "$(stat -c '%d:%i' -- "$real")" != "$before" ]; then
    setcap -r "$real" 2>/dev/null || true
    echo "setcap-netadmin: $real changed during setcap; capabilities taken away again" >&2
    exit 1
fi
echo "setcap-netadmin: $real (root:$group 0750) now has: $(getcap "$real" | sed 's/^[^ ]* //')"
