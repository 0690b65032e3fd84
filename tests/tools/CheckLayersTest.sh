#!/usr/bin/env bash
# tools/check-layers passes on the tree, and catches a lower layer reaching up.
set -euo pipefail
ROOT=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)
CHECK=$ROOT/tools/check-layers
failures=0
fail() { echo "FAIL  $*"; failures=$((failures + 1)); }

if out=$("$CHECK" "$ROOT"); then echo "ok    the tree keeps its layers"; else fail "the tree: $out"; fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# file that gets the include | the include | must it be refused
cases=(
  "net/Pingcl.cpp|shell/MainWindow.h|yes"
  "toolkit/kwTools.cpp|net/Pingcl.h|yes"
  "scan/DeviceLists.cpp|cli/ScanCommand.h|yes"
  "scan/DeviceLists.cpp|toolkit/widgets/PopupMenucl.h|yes"
  "vendors/VendorLookup.cpp|net/Ipv4Text.h|yes"
  "windows/AboutWindow.cpp|shell/MainWindow.h|yes"
  "cli/ScanCommand.cpp|windows/AboutWindow.h|yes"
  "toolkit/widgets/PopupMenucl.cpp|toolkit/kwTools.h|no"
  "scan/DeviceLists.cpp|vendors/VendorLookup.h|no"
  "shell/MainWindow.cpp|windows/AboutWindow.h|no"
)
for c in "${cases[@]}"; do
    IFS='|' read -r file include refused <<<"$c"
    rm -rf "$scratch/src"
    cp -r "$ROOT/src" "$scratch/src"
    printf '#include "%s"\n' "$include" >>"$scratch/src/$file"
    rc=0
    out=$("$CHECK" "$scratch") || rc=$?
    if [[ $refused == yes ]]; then
        if ((rc == 1)) && [[ $out == *"src/$file:"*"$include"* ]]; then echo "ok    refused: $file includes $include"
        else fail "not refused: $file includes $include (exit $rc: $out)"; fi
    else
        if ((rc == 0)); then echo "ok    allowed: $file includes $include"
        else fail "refused although allowed: $file includes $include: $out"; fi
    fi
done
((failures == 0))
