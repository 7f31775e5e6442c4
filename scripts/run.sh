#!/bin/bash
# Installs what is missing, builds, prepares the demo database unless a database location is
# set already, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
build/tavrel-mkdb --demo build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "no display: starting under xvfb-run"
    exec xvfb-run -a build/tavrel
fi
exec build/tavrel
