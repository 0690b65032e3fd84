#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vantrel.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target vantrel

# ---- Administrator functions: the polkit action of the elevated restart ----
# It makes pkexec's prompt name Vantrel and keep the display for the restarted
# window. Installed when this runs as root; otherwise the script says how.
tools/install-polkit-policy build/src/shell/vantrel
# ---- end of the administrator functions block ----

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
