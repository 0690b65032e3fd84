#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vantrel.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target vantrel

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<MSG
There is no display here (DISPLAY is not set), so the window has nowhere to open.
Start it on a virtual display instead:
  xvfb-run -a build/src/shell/vantrel
or from a desktop session: build/src/shell/vantrel
MSG
  exit 1
fi
exec build/src/shell/vantrel "$@"
