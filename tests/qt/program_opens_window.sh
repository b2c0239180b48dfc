#!/usr/bin/env bash
# The program as a user starts it: `ostravel` loads its front-end module, opens the window on
# the offscreen platform, paints it once and exits cleanly (with sanitizers: both the program
# and the module are instrumented, and the leak check runs at the exit).
set -euo pipefail
program=$1 data=$2
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cp "$data"/TOLVANE.INI "$data"/TOLVANEC.INI "$home"/
output=$(OSTRAVEL_HOME="$home" QT_QPA_PLATFORM=offscreen OSTRAVEL_EXIT_AFTER_PAINT=1 \
         "$program" 2>&1 </dev/null)
echo "$output"
grep -q "^first paint: " <<<"$output" || { echo "the window was not painted" >&2; exit 1; }
