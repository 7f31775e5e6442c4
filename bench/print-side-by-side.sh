#!/bin/bash
# The print benchmark beside the peer's job, in turn, one process each, so both see the same
# machine: our PrintLabelsBench (cold, one run) against glabels-3-batch printing the same 99
# labels from cell 8 (the anchor in /work/shared/anchor/glabels; its run.sh makes the documents).
#   bench/print-side-by-side.sh BUILD_DIR ANCHOR_COPY [PAIRS]
set -euo pipefail
BUILD=${1:?build folder}
ANCHOR=${2:?a writable copy of the anchor folder after TIMING=0 ./run.sh}
PAIRS=${3:-5}
export XDG_CONFIG_HOME="$ANCHOR/xdg-config"
ours=() peer=()
for _ in $(seq 1 "$PAIRS"); do
    t0=$(date +%s.%N)
    QT_QPA_PLATFORM=offscreen "$BUILD/bench/PrintLabelsBench" 0 >/dev/null
    t1=$(date +%s.%N)
    (cd "$ANCHOR" && glabels-3-batch --copies=99 --first=8 -o out/b-side.pdf \
        docs/label-merge.glabels >/dev/null 2>&1)
    t2=$(date +%s.%N)
    ours+=("$(echo "$t1 - $t0" | bc)") peer+=("$(echo "$t2 - $t1" | bc)")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
mo=$(median "${ours[@]}") mp=$(median "${peer[@]}")
echo "whole process, median of $PAIRS pairs: ours ${mo} s, peer ${mp} s, peer/ours $(echo "scale=1; $mp / $mo" | bc)"
echo "PDF: peer $(stat -c %s "$ANCHOR/out/b-side.pdf") bytes"
QT_QPA_PLATFORM=offscreen "$BUILD/bench/PrintLabelsBench" 9
