#!/bin/bash
# Builds the Debian package build/tavrel_VERSION_amd64.deb from the install rules, with its
# dependencies computed from the binaries (dpkg-shlibdeps). Install it with
#   apt install ./build/tavrel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cd build
rm -f tavrel_*.deb
cpack -G DEB
ls "$PWD"/tavrel_*.deb
