#!/usr/bin/env bash
# What pkexec starts after the person has consented: the program as root, in a
# clean environment that keeps the display (the policy's allow_gui) and names
# the user in PKEXEC_UID, with the switch /Advanced. The new instance must open
# its main window and, at once, Advanced Settings.
#
#   elevated_instance_lab_test.sh PATH-OF-VANTREL
#
# It runs on a virtual display and inside the installer's computer of a lab of
# its own, so the program sees the lab's adapters, never the host's. Nothing
# presses Start. Exit 77 (skipped) without root or without Xvfb and xwininfo.
set -euo pipefail
program=$(readlink -f "$1")
here=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")" && pwd)
lab=$here/../../tools/lab

[[ $EUID -eq 0 ]] || { echo "SKIP: the elevated instance runs as root"; exit 77; }
for tool in xvfb-run xwininfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[[ -x $program ]] || { echo "no program at $1" >&2; exit 1; }

prefix=vte$$
work=$(mktemp -d)
cleanup() {
    if [[ -n ${pid:-} ]]; then kill "$pid" 2>/dev/null || true; fi
    "$lab" --prefix "$prefix" down >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
"$lab" --prefix "$prefix" up >/dev/null

export LAB=$lab PREFIX=$prefix PROGRAM=$program WORK=$work
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -euo pipefail
    # As pkexec leaves it: nothing of the caller but the display.
    env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DISPLAY="$DISPLAY" XAUTHORITY="$XAUTHORITY" PKEXEC_UID=65534 \
        "$LAB" --prefix "$PREFIX" exec "$PROGRAM" /Advanced >"$WORK/program.log" 2>&1 &
    pid=$!
    for _ in $(seq 300); do
        xwininfo -root -tree >"$WORK/windows" 2>/dev/null || true
        if grep -q "\"Advanced Settings\"" "$WORK/windows"; then break; fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
'
if grep -q '"Advanced Settings"' "$work/windows" && grep -q '"Vantrel' "$work/windows"; then
    echo "PASS: the elevated instance opened Vantrel and Advanced Settings at once"
    exit 0
fi
echo "FAIL: windows seen:" >&2
grep '"' "$work/windows" >&2 || true
echo "program output:" >&2
cat "$work/program.log" >&2 || true
exit 1
