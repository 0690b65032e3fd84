#!/usr/bin/env bash
# Self-test of tools/lab: builds labs of its own (unique prefixes), checks the facts the other lab
# tests rely on, and proves that "down" leaves nothing behind, also after an interrupted "up".
# Needs root; exits 77 (skip) otherwise.
# shellcheck disable=SC2016  # the bash -c snippets expand their own positional parameters
set -euo pipefail

if [[ $EUID -ne 0 ]]; then
    echo "SKIP: lab tests need root"
    exit 77
fi

ROOT=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)
LAB=$ROOT/tools/lab
# The site's facts: PC_NS, FAR_IP, DEVICES=(name|ip|mac|hostname|flags|title), HOST_RECORDS, ...
eval "$(/usr/bin/python3 "$ROOT/tools/labtopology.py" shell)"
PREFIX=vtst$$
OTHER=vtst$$b
BROKEN=vtst$$c

failures=0
pass() { echo "ok    $*"; }
fail() { echo "FAIL  $*"; failures=$((failures + 1)); }
expect() { # expect DESCRIPTION COMMAND... : passes when COMMAND succeeds
    local what=$1; shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
lab() { "$LAB" --prefix "$PREFIX" "$@"; }
quietly() { # runs a command, showing its output only when it fails
    local out lines rc=0
    out=$("$@" 2>&1) || rc=$?
    if ((rc != 0)); then
        mapfile -t lines <<<"$out"
        printf '      | %s\n' "${lines[@]}"
    fi
    return "$rc"
}

cleanup() {
    local p
    for p in "$PREFIX" "$OTHER" "$BROKEN"; do "$LAB" --prefix "$p" down >/dev/null 2>&1 || true; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Everything a prefix leaves on the machine: namespaces, resolver files, state, processes.
leftovers() {
    local p=$1
    ip netns list 2>/dev/null | awk '{print $1}' | grep -E "^$p-" || true
    [[ -e /etc/netns/$p-pc ]] && echo "/etc/netns/$p-pc"
    [[ -e /run/vantrel-lab/$p ]] && echo "/run/vantrel-lab/$p"
    # Servers carry their state folder on the command line; "[/]" keeps grep from finding itself.
    grep -alsE -- "/run/vantrel-lab/${p}[/]" /proc/[0-9]*/cmdline | sed 's|^/proc/\([0-9]*\)/.*|process \1|' || true
}

host_links_before=$(ip -o link show | awk -F': ' '{print $2}' | sort)

# --- up, twice -------------------------------------------------------------------------------------
expect "up builds the lab" quietly lab up
expect "a second up keeps it" quietly lab up
if out=$(lab status 2>&1); then pass "status reports a complete lab"; else fail "status: $out"; fi
expect "nothing of the lab appears in the host namespace" \
    test "$(ip -o link show | awk -F': ' '{print $2}' | sort)" = "$host_links_before"

# --- the computer ------------------------------------------------------------------------------------
expect "the computer has no default route" test -z "$(lab exec ip route show default)"
expect "the computer has no route out of the lab (route lookup only)" \
    bash -c '! "$@" >/dev/null 2>&1' _ "$LAB" --prefix "$PREFIX" exec ip route get 192.0.2.1
expect "ICMP datagram sockets are open to every group" \
    test "$(lab exec cat /proc/sys/net/ipv4/ping_group_range | tr -s '\t ' ' ')" = "$PING_GROUP_RANGE"
eth1=$(lab exec ip -o link show eth1)
expect "eth1 is an Ethernet adapter, administratively down" \
    bash -c '[[ $1 == *link/ether* && $1 != *"<"*",UP"* ]]' _ "$eth1"

# --- devices: configured MAC, and exactly that MAC by ARP from the computer --------------------------
lab exec ip neigh flush all
for d in "${DEVICES[@]}"; do
    IFS='|' read -r name ip mac _host flags _title <<<"$d"
    got=$(lab devexec "$name" cat /sys/class/net/eth0/address)
    expect "$name has MAC $mac" test "${got^^}" = "$mac"
    rc=0
    lab probe ping -w 500 "$ip" >/dev/null || rc=$?
    if [[ $flags == *noping* ]]; then
        expect "$name ($ip) ignores ping" test "$rc" -eq 1
    else
        expect "$name ($ip) answers ping" test "$rc" -eq 0
    fi
    neigh=$(lab exec ip neigh show "$ip" dev eth0)
    expect "the computer resolves $ip to $mac" \
        test "$(awk '$2 == "lladdr" {print toupper($3)}' <<<"$neigh")" = "$mac"
done

# --- routed host and the router's immediate unreachable ----------------------------------------------
expect "the far host $FAR_IP answers ping through the router" quietly lab probe ping "$FAR_IP"
expect "the far host has no neighbour entry on the computer (off-link)" \
    test -z "$(lab exec ip neigh show "$FAR_IP")"
rc=0
out=$(lab probe ping -w 3000 "$UNREACHABLE_IP") || rc=$?
expect "$UNREACHABLE_IP is host unreachable from the router ($out)" \
    bash -c '[[ $1 -eq 2 && $2 == *"icmp type 3 code 1 from $3"* ]]' _ "$rc" "$out" "$RT_LAN_IP"
# A router that had to try ARP first would take about 3 s; the unreachable route answers at once.
elapsed=$(sed -n 's/.* in \([0-9]*\)\.[0-9]* ms$/\1/p' <<<"$out")
expect "the unreachable comes at once (${elapsed:-?} ms)" test "${elapsed:-9999}" -lt 500

# --- DNS -----------------------------------------------------------------------------------------------
for r in "${HOST_RECORDS[@]}"; do
    IFS='|' read -r name address <<<"$r"
    out=$(lab probe dns "$name" A || true)
    expect "DNS A: $name is $address" grep -qx "$name [0-9]* A $address" <<<"$out"
    out=$(lab probe dns "$address" PTR || true)
    expect "DNS PTR: $address is $name" grep -q "PTR $name\$" <<<"$out"
done
for r in "${A_ONLY[@]}"; do
    IFS='|' read -r name address <<<"$r"
    out=$(lab probe dns "$name" A || true)
    expect "DNS A only: $name is $address" grep -qx "$name [0-9]* A $address" <<<"$out"
done
for r in "${CNAMES[@]}"; do
    IFS='|' read -r name target canonical address <<<"$r"
    out=$(lab probe dns "$name" A || true)
    expect "DNS CNAME: $name -> $target" grep -qx "$name [0-9]* CNAME $target" <<<"$out"
    expect "DNS: the chain from $name ends at $canonical, $address" grep -qx "$canonical [0-9]* A $address" <<<"$out"
done
IFS='|' read -r name _target canonical address <<<"${CNAMES[0]}"
out=$(lab exec getent ahostsv4 "$name" | head -n 1 || true)
expect "the computer's resolver follows the chain ($out)" bash -c '[[ $1 == "$2 "*"$3" ]]' _ "$out" "$address" "$canonical"
rc=0
lab probe dns "nosuch.$DOMAIN" A >/dev/null || rc=$?
expect "DNS: an unknown name is an error answer" test "$rc" -eq 2

# --- web pages ------------------------------------------------------------------------------------------
for d in "${DEVICES[@]}"; do
    IFS='|' read -r name ip _mac _host flags title <<<"$d"
    [[ $flags == *web* ]] || continue
    out=$(lab probe http "$ip" || true)
    expect "http://$ip/ has the title '$title'" test "$out" = "200 $title"
done

# --- a device added after a first sweep, then removed ------------------------------------------------
late=${SUBNET%.*}.77 # on the subnet, no machine of the topology
expect "add-device adds a device" quietly lab add-device late "$late" 0a:c5:d2:e1:77:77
expect "the added device answers ping" quietly lab probe ping "$late"
expect "the added device resolves to its MAC" \
    bash -c '[[ $("$@") == *"lladdr 0a:c5:d2:e1:77:77 "* ]]' _ "$LAB" --prefix "$PREFIX" exec ip neigh show "$late"
expect "status still passes with the extra device" quietly lab status
expect "del-device removes it" quietly lab del-device late
lab exec ip neigh flush all
rc=0
lab probe ping -w 300 "$late" >/dev/null || rc=$?
expect "the removed device no longer answers" test "$rc" -eq 1

# --- a second lab beside the first -----------------------------------------------------------------------
expect "a second lab with another prefix comes up beside the first" quietly "$LAB" --prefix "$OTHER" up
expect "the second lab is complete" quietly "$LAB" --prefix "$OTHER" status
expect "the second lab goes down" quietly "$LAB" --prefix "$OTHER" down
expect "the second lab left nothing" test -z "$(leftovers "$OTHER")"
expect "the first lab is still complete" quietly lab status

# --- an up interrupted while it makes the namespaces, and once a server runs; then down -----------------
made() { ip netns list 2>/dev/null | grep -c "^$BROKEN-" || true; }
serving() { compgen -G "/run/vantrel-lab/$BROKEN/pids/*.pid" >/dev/null; }
for point in made serving; do
    setsid "$LAB" --prefix "$BROKEN" up >/dev/null 2>&1 &
    victim=$!
    for _ in $(seq 500); do
        if [[ $point == made ]] && (($(made) > 0)); then break; fi
        if [[ $point == serving ]] && serving; then break; fi
        sleep 0.01
    done
    kill -KILL -- "-$victim" 2>/dev/null || true
    wait "$victim" 2>/dev/null || true
    rc=0
    "$LAB" --prefix "$BROKEN" status >/dev/null 2>&1 || rc=$?
    echo "      (up interrupted at '$point': status exit $rc, $(made) namespaces made)"
    expect "down after an interrupted up succeeds" quietly "$LAB" --prefix "$BROKEN" down
    expect "down after an interrupted up leaves nothing" test -z "$(leftovers "$BROKEN")"
done

# --- down --------------------------------------------------------------------------------------------------
expect "down removes the lab" quietly lab down
left=$(leftovers "$PREFIX")
expect "nothing with the prefix $PREFIX remains${left:+: $left}" test -z "$left"
expect "down twice is harmless" quietly lab down
rc=0
lab status >/dev/null 2>&1 || rc=$?
expect "status fails when the lab is not up" test "$rc" -ne 0

if ((failures)); then
    echo "lab self-test: $failures failure(s)"
    exit 1
fi
echo "lab self-test: all passed"
