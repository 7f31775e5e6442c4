#!/bin/bash
# Run here, with LibreOffice installed: makes the sample metafiles from the drawings, and
# LibreOffice's own rendering of each at the metafile's size (the metafile alone on the
# drawing's page) as the reference picture.
set -euo pipefail
out=${1:-.}
tmp=$(mktemp -d)
# The drawing's own page holding nothing but the metafile, filling it.
wrap() {
    local frame="<draw:frame svg:x=\"0cm\" svg:y=\"0cm\" svg:width=\"6cm\" svg:height=\"4cm\"><draw:image><office:binary-data>$(base64 -w0 "$2")</office:binary-data></draw:image></draw:frame>"
    sed -e '/<draw:page /,/<\/draw:page>/{/<draw:page \|<\/draw:page>/!d}' \
        -e "s|\(<draw:page [^>]*>\)|\1$frame|" "$1"
}
for d in text picture shapes; do
    for kind in emf wmf; do
        soffice --headless --convert-to $kind --outdir "$tmp" $d.fodg >/dev/null
        mv "$tmp/$d.$kind" "$out/$d-$kind.$kind"
        wrap $d.fodg "$out/$d-$kind.$kind" > "$tmp/$d-$kind.fodg"
        soffice --headless --convert-to png --outdir "$out" "$tmp/$d-$kind.fodg" >/dev/null
    done
done
rm -rf "$tmp"
