#!/bin/sh
# Gives the helper orvanta-netadmin the two capabilities it needs to add and
# remove the wizard's temporary address and to send ARP probes:
# CAP_NET_ADMIN and CAP_NET_RAW, as file capabilities, so neither the wizard
# nor the helper ever runs as root. Opt-in: run it once after installing.
#
# Usage: sudo packaging/setcap-netadmin.sh [PATH-TO-orvanta-netadmin]
# Without a path: the helper beside orvanta (a build tree), else the
# installed one in /usr/libexec/orvanta.
# --remove takes the capabilities away again.
set -eu
remove=0
if [ "${1:-}" = "--remove" ]; then remove=1; shift; fi
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
# Capabilities on a file anyone may replace would hand them to anyone.
owner="$(stat -c %u "$helper")"
if [ "$owner" != 0 ] || [ -n "$(find "$helper" -perm /022)" ]; then
    echo "setcap-netadmin: $helper must be owned by root and not writable by others" >&2
    exit 1
fi
setcap cap_net_admin,cap_net_raw+ep "$helper"
echo "setcap-netadmin: $helper now has: $(getcap "$helper" | sed 's/^[^ ]* //')"
