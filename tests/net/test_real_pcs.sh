#!/usr/bin/env bash
# The PCs installers really have, one lab per row of the table below: a
# laptop cabled straight to the cameras without a default route, two cards
# with the default route on the other one, a container bridge and a VPN tun
# beside the wired card, a DHCP lease from a real server, a real PPP link.
# On each, the real wizard (offscreen) must show the right first page, take
# the right card, find both cameras (one in the PC's subnet, one in
# another), and read the other subnet's camera through its temporary
# address. Rows print their facts, so the run doubles as a report.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/lab.sh
. "$here/lib/lab.sh"

lab_require_programs orvanta-camsim orvanta-cli orvanta-netadmin real_pc_guiprog
export ORVANTA_SOURCE_DIR="${ORVANTA_SOURCE_DIR:-$(cd "$here/../.." && pwd)}"
[ "$(id -u)" = 0 ] || { echo "lab: needs root for network namespaces; skipped" >&2; exit 77; }

ETH="Connection: local network (Ethernet or wireless)"
PPPOE="Connection: PPPoE (DSL dial-up)"
FIXED="IP address: fixed"
DHCP="IP address: automatic (DHCP)"
UNKNOWN="Internet connection: unknown"

# The cameras every PC shape is cabled to: one in the PC's subnet, one still
# at an address in another subnet.
add_cameras() {
    lab_add_camera cam 192.168.70.20/24 || return 1
    lab_add_camera far 192.168.71.20/24 || return 1
    local name mac
    for name in cam far; do
        mac=02:00:00:70:00:$([ "$name" = cam ] && echo 14 || echo 15)
        printf 'IPAddr=%s\nNetmask=255.255.255.0\nSerialNo=SN-%s\nMAC=%s\n' \
            "$([ "$name" = cam ] && echo 192.168.70.20 || echo 192.168.71.20)" "$name" "$mac" >"$LAB_TMP/$name.conf"
        lab_start_bg "$name" "$LAB_TMP/$name.log" "$bin/orvanta-camsim" --config "$LAB_TMP/$name.conf" \
            --mac "$mac" --serial "SN-$name" --iface eth0
        lab_wait_port "$name" tcp 80 10 || return 1
    done
}

# ---- the PC shapes (each builds the PC, in the kernel order it needs) ----
shape_no_gateway() {
    lab_new_pc && lab_pc_card eth0 main 192.168.70.10/24
}
shape_two_cards() {
    lab_new_pc && lab_pc_card eth0 main 192.168.70.10/24 &&
        lab_add_router gw wan 10.200.0.1/24 && lab_pc_card wan0 wan 10.200.0.10/24 &&
        lab_pc_default_via wan0 10.200.0.1
}
shape_bridge_tun() {
    lab_new_pc && lab_pc_container_bridge docker0 172.17.0.1/16 &&
        lab_pc_card eth0 main 192.168.70.10/24 && lab_pc_tun tun0 10.8.0.2/24 && lab_pc_default_via tun0
}
shape_dhcp() {
    lab_new_pc && lab_add_router gw main 192.168.70.1/24 &&
        lab_dhcp_server dhcp main 192.168.70.2/24 192.168.70.100 192.168.70.150 192.168.70.1 &&
        lab_pc_dhcp eth0 main "$LAB_TMP/leases"
}
shape_ppp() {
    lab_ppp_supported || return 77
    mkdir -p "$LAB_TMP/ppp/peers"
    printf 'user "alice@isp"\nnoauth\n' >"$LAB_TMP/ppp/peers/provider"
    printf '"alice@isp" * "s3cret"\n' >"$LAB_TMP/ppp/pap-secrets"
    lab_new_pc && lab_pc_card eth0 main 192.168.70.10/24 && lab_pc_ppp isp 10.64.0.2 10.64.0.1
}

# name | card taken | card to pick ("-": none) | picture | what the desktop
# says ("-": nothing can tell) | first page text (lines joined by '|')
ROWS=(
    "no_gateway|eth0|-|210|-|$ETH|$FIXED|$UNKNOWN"
    "two_cards|wan0|eth0|210|-|$ETH|$FIXED|$UNKNOWN"
    "bridge_tun|eth0|-|210|-|$ETH|$FIXED|$UNKNOWN"
    "dhcp|eth0|-|210|networkd-online|$ETH|$DHCP"
    "ppp|eth0|-|206|-|$PPPOE|$FIXED|$UNKNOWN"
)

fact() { sed -n "s/^$1=//p" "$LAB_TMP/wizard.out" | head -1; }

run_row() {
    local name card pick picture desktop text
    IFS='|' read -r name card pick picture desktop text <<<"$1"

    lab_init "rp$name"
    lab_tmpdir
    failures=0
    local rc=0
    "shape_$name" || rc=$?
    [ "$rc" = 77 ] && { echo "skip $name: this kernel has no PPP (/dev/ppp)"; exit 77; }
    [ "$rc" = 0 ] || { echo "FAIL $name: the PC shape could not be built"; exit 1; }
    add_cameras || { echo "FAIL $name: cameras did not start"; exit 1; }

    # Nothing on the host may answer for the desktop: no system bus and no
    # networkd state unless the row names one.
    local env=(QT_QPA_PLATFORM=offscreen DBUS_SYSTEM_BUS_ADDRESS="unix:path=$LAB_TMP/no-bus"
               OVR_NETWORKD_STATE="$LAB_TMP/no-networkd" OVR_LEASES="$LAB_TMP/leases"
               OVR_REMOTE_IP=192.168.71.20)
    [ "$pick" != - ] && env+=(OVR_CHOOSE="$pick")
    if [ "$desktop" = networkd-online ]; then
        printf 'OPER_STATE=routable\nONLINE_STATE=online\n' >"$LAB_TMP/networkd"
        env+=(OVR_NETWORKD_STATE="$LAB_TMP/networkd")
    fi
    [ "$name" = ppp ] && env+=(OVR_PEERS="$LAB_TMP/ppp")
    mkdir -p "$LAB_TMP/leases"
    lab_exec pc env "${env[@]}" "$bin/real_pc_guiprog" >"$LAB_TMP/wizard.out" 2>"$LAB_TMP/wizard.log"
    sed "s/^/    $name: /" "$LAB_TMP/wizard.out"

    lab_check "$name: takes $card" [ "$(fact card)" = "$card" ]
    lab_check "$name: first page text" [ "$(fact text)" = "$text" ]
    lab_check "$name: first page picture $picture" [ "$(fact picture)" = "$picture" ]
    if [ "$pick" != - ]; then
        lab_check "$name: offers the card choice" [ "$(fact choices)" -ge 2 ]
        lab_check "$name: picking $pick makes it the card in use" [ "$(fact chosen_card)" = "$pick" ]
    fi
    lab_check "$name: search finds both cameras" [ "$(fact found)" = 2 ]
    lab_check "$name: temporary address in the camera's subnet" [ "$(fact alias)" = ok ]
    lab_check "$name: cross-subnet read" [ "$(fact read)" = ok ]

    case "$name" in
        no_gateway)
            lab_check "$name: the card's address without a gateway" grep -qx 'host=ip:192.168.70.10 gw: dhcp:0 noaddr:0 dialup:0 wireless:0' "$LAB_TMP/wizard.out"
            # A request that no card may send is an error, not an empty list.
            lab_exec pc nft -f - <<'NFT'
table ip rpdrop {
    chain out {
        type filter hook output priority 0;
        udp dport 49160 drop
    }
}
NFT
            lab_exec pc "$bin/orvanta-cli" discover --seconds 1 >"$LAB_TMP/d.out" 2>"$LAB_TMP/d.err"
            local drc=$?
            lab_exec pc nft delete table ip rpdrop
            lab_check "$name: cli reports the send failure" [ "$drc" = 1 ]
            lab_check "$name: one stderr line naming the card" \
                grep -qx 'orvanta-cli discover: cannot send the search request on eth0: Operation not permitted' "$LAB_TMP/d.err"
            ;;
        two_cards)
            cli_count() { lab_exec pc "$bin/orvanta-cli" discover --seconds 1 --format csv "$@" | tail -n +2 | wc -l; }
            lab_check "$name: discover --interface eth0 finds both" [ "$(cli_count --interface eth0)" = 2 ]
            lab_check "$name: discover --interface wan0 finds none" [ "$(cli_count --interface wan0)" = 0 ]
            no_card() {
                lab_exec pc "$bin/orvanta-cli" discover --seconds 1 --interface nosuch0 >/dev/null 2>"$LAB_TMP/n.err"
                [ $? = 1 ] && grep -q 'on nosuch0: No such device' "$LAB_TMP/n.err"
            }
            lab_check "$name: discover --interface of no card fails" no_card
            ;;
        dhcp)
            lab_check "$name: the lease's gateway and DHCP" grep -q '^host=ip:192.168.70.1[0-5][0-9] gw:192.168.70.1 dhcp:1 noaddr:0' "$LAB_TMP/wizard.out"
            # A client whose lease file nobody knows: the address's lease
            # time alone says DHCP.
            mkdir -p "$LAB_TMP/no-leases"
            lab_exec pc env QT_QPA_PLATFORM=offscreen DBUS_SYSTEM_BUS_ADDRESS="unix:path=$LAB_TMP/no-bus" \
                OVR_NETWORKD_STATE="$LAB_TMP/no-networkd" OVR_LEASES="$LAB_TMP/no-leases" \
                "$bin/real_pc_guiprog" >"$LAB_TMP/wizard2.out" 2>>"$LAB_TMP/wizard.log"
            lab_check "$name: DHCP known without a lease file" grep -q '^host=ip:192.168.70.1[0-5][0-9] gw:192.168.70.1 dhcp:1 noaddr:0' "$LAB_TMP/wizard2.out"
            ;;
        ppp)
            lab_check "$name: dial-up marked" grep -q 'dialup:1' "$LAB_TMP/wizard.out"
            lab_check "$name: PPPoE account pre-filled" [ "$(fact dialuser)" = "alice@isp" ]
            ;;
    esac
    lab_finish "$name"
}

total=0
for row in "${ROWS[@]}"; do
    name="${row%%|*}"
    case "$name" in *"${OVR_ONLY:-}"*) ;; *) continue ;; esac
    ( run_row "$row" )
    rc=$?
    [ "$rc" = 0 ] || [ "$rc" = 77 ] || total=$((total + 1))
done
[ "$total" = 0 ] || { echo "$total PC shape(s) failed" >&2; exit 1; }
echo "all PC shapes passed"
