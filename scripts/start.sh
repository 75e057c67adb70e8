#!/usr/bin/env bash
# Installs what is missing, builds Tavlen and starts it. Arguments are passed to the editor
# (for example a file to open).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake --preset dev >/dev/null
cmake --build --preset dev --target tavlen
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Tavlen: no desktop display found (DISPLAY and WAYLAND_DISPLAY are empty)." >&2
    echo "Tavlen: starting under a virtual X server (xvfb-run); nothing will be visible." >&2
    exec xvfb-run -a -s "-screen 0 1280x1024x24" build/dev/src/tavlen "$@"
fi
exec build/dev/src/tavlen "$@"
