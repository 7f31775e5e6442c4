#!/bin/bash
# Installs what the tests need, builds, starts the Firebird server on 127.0.0.1 and runs the
# whole suite with CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
bash scripts/firebird-server.sh start
eval "$(bash scripts/cups-server.sh start)" # print tests skip, saying why, when CUPS cannot run
trap 'bash scripts/cups-server.sh stop; bash scripts/firebird-server.sh stop' EXIT
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2 --timeout 300
