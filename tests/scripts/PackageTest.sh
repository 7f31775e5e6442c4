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
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

(cd "$BUILD" && cpack -G DEB -B "$WORK/out") >"$WORK/cpack.log" 2>&1 ||
    { cat "$WORK/cpack.log"; echo "FAIL: cpack" >&2; exit 1; }
debs=("$WORK"/out/*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "FAIL: expected one package: ${debs[*]}" >&2; exit 1; }
DEB=${debs[0]}
VERSION=$(dpkg-deb -f "$DEB" Version)
[ "$(basename "$DEB")" = "tavrel_${VERSION}_amd64.deb" ] || fail "file name $(basename "$DEB")"

# Run-time needs the binaries do not show, and what the binaries link.
depends=$(dpkg-deb -f "$DEB" Depends)
for need in firebird3.0-server-core fonts-ipafont-gothic fonts-ipafont-mincho glabels-data \
    qt6-translations-l10n libfbclient2 libqt6widgets6; do
    grep -qE "(^|, )$need( |,|$)" <<<"$depends" || fail "Depends lacks $need: $depends"
done
[ "$(dpkg-deb -f "$DEB" Section)" = misc ] || fail "section"
[ "$(dpkg-deb -f "$DEB" Priority)" = optional ] || fail "priority"
grep -q 'ラベル' <<<"$(dpkg-deb -f "$DEB" Description)" || fail "no Japanese description"

ROOT=$WORK/root
dpkg -x "$DEB" "$ROOT"
for file in usr/bin/tavrel usr/bin/tavrel-batch usr/bin/tavrel-mkdb \
    usr/share/tavrel/Tavrel.hlp usr/share/tavrel/schema.sql usr/share/tavrel/sample.sql \
    usr/share/applications/tavrel.desktop usr/share/icons/hicolor/scalable/apps/tavrel.svg \
    usr/share/metainfo/jp.wenlo.tavrel.metainfo.xml \
    usr/share/bash-completion/completions/tavrel-batch \
    usr/share/doc/tavrel/copyright usr/share/doc/tavrel/changelog.gz; do
    [ -f "$ROOT/$file" ] || fail "missing $file"
done
for size in 16 22 24 32 48 64 128 256; do
    png=$ROOT/usr/share/icons/hicolor/${size}x$size/apps/tavrel.png
    kind=$(file -b "$png")
    grep -q "PNG image data, $size x $size," <<<"$kind" || fail "icon $size: $kind"
done
for page in tavrel tavrel-batch tavrel-mkdb; do
    for dir in man man/ja; do
        gz=$ROOT/usr/share/$dir/man1/$page.1.gz
        [ -f "$gz" ] || { fail "missing $dir/man1/$page.1.gz"; continue; }
        text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$gz" 2>"$WORK/man.err")
        [ -s "$WORK/man.err" ] && fail "$dir/$page: $(cat "$WORK/man.err")"
        grep -q "^$page(1)" <<<"$text" || fail "$dir/$page does not render"
    done
done
# The version the package carries is the one its changelog and metadata announce.
[ "$(zcat "$ROOT/usr/share/doc/tavrel/changelog.gz" | head -1)" = \
    "tavrel ($VERSION) unstable; urgency=medium" ] || fail "changelog does not start at $VERSION"
grep -q "<release version=\"$VERSION\"" "$ROOT/usr/share/metainfo/jp.wenlo.tavrel.metainfo.xml" ||
    fail "metadata has no release $VERSION"

# The unpacked programs run and find their data from where they lie.
[ "$(QT_QPA_PLATFORM=offscreen "$ROOT/usr/bin/tavrel-batch" --version 2>/dev/null)" = \
    "tavrel-batch $VERSION" ] || fail "tavrel-batch --version"
DB=$WORK/demo
mkdir -p "$DB"
"$ROOT/usr/bin/tavrel-mkdb" --demo "$DB" >/dev/null || fail "tavrel-mkdb --demo"

# Completion of design and sheet names from the database on the command line.
complete_words() {
    # shellcheck disable=SC1091
    (source "$ROOT/usr/share/bash-completion/completions/tavrel-batch"
     COMP_WORDS=("$@")
     COMP_CWORD=$(($# - 1))
     export QT_QPA_PLATFORM=offscreen
     _tavrel_batch
     printf '%s\n' "${COMPREPLY[@]}")
}
batch=$ROOT/usr/bin/tavrel-batch
designs=$(QT_QPA_PLATFORM=offscreen "$batch" --list designs --database "$DB/TAVREL.FDB" 2>/dev/null)
first=$(head -1 <<<"$designs" | cut -f2)
[ -n "$first" ] || fail "the demo database lists no designs"
got=$(complete_words "$batch" --database "$DB/TAVREL.FDB" --design "${first:0:1}")
grep -qxF "$(printf '%q' "$first")" <<<"$got" || fail "design completion: $got"
sheet=$(QT_QPA_PLATFORM=offscreen "$batch" --list sheets --database "$DB/TAVREL.FDB" 2>/dev/null |
    head -1 | cut -f1)
got=$(complete_words "$batch" --database="$DB/TAVREL.FDB" --sheet "")
grep -qxF "$(printf '%q' "$sheet")" <<<"$got" || fail "sheet completion: $got"
[ "$(complete_words "$batch" --li)" = --list ] || fail "option completion"
[ "$(complete_words "$batch" --list p)" = printers ] || fail "--list completion"

validate() {
    local tool=$1
    shift
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed (scripts/install-deps.sh --tests installs it)"
        return
    fi
    "$@" >"$WORK/validate.log" 2>&1 || { cat "$WORK/validate.log"; fail "$tool"; }
}
validate desktop-file-validate desktop-file-validate "$ROOT/usr/share/applications/tavrel.desktop"
validate appstreamcli appstreamcli validate --no-net \
    "$ROOT/usr/share/metainfo/jp.wenlo.tavrel.metainfo.xml"
if command -v lintian >/dev/null; then
    lintian --allow-root "$DEB" >"$WORK/lintian.log" 2>&1 || true
    cat "$WORK/lintian.log"
    grep -q '^E: ' "$WORK/lintian.log" && fail "lintian reports errors"
else
    echo "skipped: lintian is not installed (scripts/install-deps.sh --tests installs it)"
fi

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$DEB") checked"
