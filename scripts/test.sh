#!/bin/bash
# Installs what the tests need, builds, starts a private Firebird server on 127.0.0.1 for the
# server tests (the machine's own server is left alone) and runs the whole suite with CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --tests
bash scripts/build.sh
trap 'bash scripts/cups-server.sh stop; bash scripts/firebird-server.sh stop' EXIT
bash scripts/firebird-server.sh start
TAVREL_TEST_SERVER=$(cat build/fbserver/address)
export TAVREL_TEST_SERVER
eval "$(bash scripts/cups-server.sh start)" # print tests skip, saying why, when CUPS cannot run
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2 --timeout 300
