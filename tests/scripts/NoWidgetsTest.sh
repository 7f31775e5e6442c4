#!/bin/bash
# Each program but the last must not need the Qt widget library; the last, the window program,
# must, so that the check is known to see what a program needs.
set -uo pipefail
needs_widgets() {
    readelf -d "$1" | grep -q 'NEEDED.*libQt6Widgets'
}
status=0
window=${!#}
for program in "${@:1:$#-1}"; do
    if needs_widgets "$program"; then
        echo "$program needs the widget library" >&2
        status=1
    fi
done
if ! needs_widgets "$window"; then
    echo "$window does not show as needing the widget library" >&2
    status=1
fi
exit $status
