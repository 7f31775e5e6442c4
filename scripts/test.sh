#!/bin/bash
# Installs what the tests need, builds, starts the Firebird server on 127.0.0.1 and runs the
# whole suite with CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
bash scripts/firebird-server.sh start
trap 'bash scripts/firebird-server.sh stop' EXIT
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2 --timeout 300
