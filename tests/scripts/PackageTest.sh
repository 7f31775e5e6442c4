#!/bin/bash
# Builds the Debian package from the build folder, unpacks it into a scratch root and checks
# that the programs, help, database scripts, desktop entry, icons, manual pages, metadata and
# completion lie where the desktop, man and bash look; then the validators, where installed.
#   PackageTest.sh BUILD_DIR
set -euo pipefail
shopt -s inherit_errexit
BUILD=$(cd "$1" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export QT_QPA_PLATFORM=offscreen
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

(cd "$BUILD" && cpack -G DEB -B "$WORK/out") >"$WORK/cpack.log" 2>&1 || cat "$WORK/cpack.log"
DEB=$(echo "$WORK"/out/tavrel_*_amd64.deb)
[ -f "$DEB" ] || { echo "FAIL: no package: $(ls "$WORK/out")" >&2; exit 1; }
VERSION=$(dpkg-deb -f "$DEB" Version)
[ "$(basename "$DEB")" = "tavrel_${VERSION}_amd64.deb" ] || fail "file name $(basename "$DEB")"
# Run-time needs the binaries do not show, and what the binaries link.
depends=$(dpkg-deb -f "$DEB" Depends)
for need in firebird3.0-server-core fonts-ipafont-gothic fonts-ipafont-mincho glabels-data \
    qt6-translations-l10n libfbclient2 libqt6widgets6; do
    grep -qE "(^|, )$need( |,|$)" <<<"$depends" || fail "Depends lacks $need: $depends"
done
[ "$(dpkg-deb -f "$DEB" Section Priority)" = $'Section: misc\nPriority: optional' ] ||
    fail "section and priority"
grep -q 'ラベル' <<<"$(dpkg-deb -f "$DEB" Description)" || fail "no Japanese description"

ROOT=$WORK/root
dpkg -x "$DEB" "$ROOT"
for file in bin/tavrel bin/tavrel-batch bin/tavrel-mkdb share/tavrel/Tavrel.hlp \
    share/tavrel/schema.sql share/tavrel/sample.sql share/applications/tavrel.desktop \
    share/icons/hicolor/scalable/apps/tavrel.svg share/metainfo/jp.wenlo.tavrel.metainfo.xml \
    share/bash-completion/completions/tavrel-batch share/doc/tavrel/copyright; do
    [ -f "$ROOT/usr/$file" ] || fail "missing $file"
done
for size in 16 22 24 32 48 64 128 256; do
    kind=$(file -b "$ROOT/usr/share/icons/hicolor/${size}x$size/apps/tavrel.png")
    grep -q "PNG image data, $size x $size," <<<"$kind" || fail "icon $size: $kind"
done
for page in {,ja/}man1/tavrel{,-batch,-mkdb}.1.gz; do
    text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$ROOT/usr/share/man/$page" \
        2>"$WORK/man.err") || true
    [ -s "$WORK/man.err" ] && fail "$page: $(cat "$WORK/man.err")"
    grep -q "^$(basename "$page" .1.gz)(1)" <<<"$text" || fail "$page does not render"
done
# The version the package carries is the one its changelog and metadata announce.
[ "$(zcat "$ROOT/usr/share/doc/tavrel/changelog.gz" | head -1)" = \
    "tavrel ($VERSION) unstable; urgency=medium" ] || fail "changelog does not start at $VERSION"
grep -q "<release version=\"$VERSION\"" "$ROOT/usr/share/metainfo/jp.wenlo.tavrel.metainfo.xml" ||
    fail "metadata has no release $VERSION"

# The unpacked programs run; completion offers names from the database on the command line.
batch=$ROOT/usr/bin/tavrel-batch
[ "$("$batch" --version 2>/dev/null)" = "tavrel-batch $VERSION" ] || fail "--version"
"$ROOT/usr/bin/tavrel-mkdb" --demo "$WORK" >/dev/null || fail "tavrel-mkdb --demo"
complete_words() {
    # shellcheck disable=SC1091
    (source "$ROOT/usr/share/bash-completion/completions/tavrel-batch"
     COMP_WORDS=("$batch" "$@") COMP_CWORD=$#
     _tavrel_batch
     printf '%s\n' "${COMPREPLY[@]}")
}
design=$("$batch" --list designs --database "$WORK/TAVREL.FDB" 2>/dev/null | head -1 | cut -f2)
sheet=$("$batch" --list sheets --database "$WORK/TAVREL.FDB" 2>/dev/null | head -1 | cut -f1)
[[ -n $design && -n $sheet ]] || fail "the demo database lists no design or sheet"
got=$(complete_words --database "$WORK/TAVREL.FDB" --design "${design:0:1}")
grep -qxF "$(printf '%q' "$design")" <<<"$got" || fail "design completion: $got"
got=$(complete_words --database="$WORK/TAVREL.FDB" --sheet "")
grep -qxF "$(printf '%q' "$sheet")" <<<"$got" || fail "sheet completion: $got"
[ "$(complete_words --li)" = --list ] || fail "option completion"
[ "$(complete_words --list p)" = printers ] || fail "--list completion"

for check in "desktop-file-validate $ROOT/usr/share/applications/tavrel.desktop" \
    "appstreamcli validate --no-net $ROOT/usr/share/metainfo/jp.wenlo.tavrel.metainfo.xml" \
    "lintian --allow-root --fail-on error $DEB"; do
    if ! command -v "${check%% *}" >/dev/null; then
        echo "skipped: ${check%% *} is not installed (scripts/install-deps.sh --tests installs it)"
    elif ! $check >"$WORK/check.log" 2>&1; then
        cat "$WORK/check.log"
        fail "${check%% *}"
    fi
done
[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$DEB") checked"
