#!/bin/bash
# Installs the Debian packages Tavrel needs to build and run; with --tests also what only the
# tests use. Only what is missing.
set -euo pipefail
PACKAGES=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-svg-dev qt6-image-formats-plugins libgl-dev libxcb1-dev qt6-translations-l10n
    firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils firebird3.0-server
    libjpeg62-turbo-dev libcsv-dev fonts-dejavu-core libharfbuzz-dev
    libzint-dev libzint2.11
    libcups2-dev cups printer-driver-cups-pdf poppler-utils
    libgtest-dev libbenchmark-dev
    fonts-ipafont-gothic fonts-ipafont-mincho
    glabels-data
    xvfb xauth
    # the manual pages and the Debian package (scripts/package.sh)
    scdoc gzip dpkg-dev file
)
# The office suite reads what the RTF writer writes, as a user's word processor would; the font
# dialog test picks an oblique face; the package's checkers: Debian's policy, the desktop entry,
# the software centre's metadata; a barcode reader that decodes what is printed.
TEST_PACKAGES=(libreoffice-writer-nogui fonts-dejavu-extra lintian desktop-file-utils appstream
               libzxing-dev libzxing2)
if [ "${1:-}" = --tests ]; then
    PACKAGES+=("${TEST_PACKAGES[@]}")
fi
missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# The server package asks for SYSDBA's password; the tests run a private server with their own.
echo "firebird3.0-server shared/firebird/enabled boolean true" | debconf-set-selections
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
