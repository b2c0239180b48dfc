#!/usr/bin/env bash
# Installs the build into a new prefix with `cmake --install`, moves the prefix elsewhere and
# starts the installed program as a new user would, with an empty home folder: its data folder
# is seeded from the installation, a one-shot calculation answers on the console, the window
# opens and paints (offscreen), and the desktop entry and its icons are in place.
set -euo pipefail
cmake=$1 build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "installed program: $*" >&2
  exit 1
}

"$cmake" --install "$build" --prefix "$work/installed" >/dev/null
mv "$work/installed" "$work/moved"
prefix=$work/moved
home=$work/home
mkdir "$home"

# Nothing of this machine's environment: no display, no data folder, no settings. A sanitized
# build keeps its options.
run() {
  env -i HOME="$home" PATH=/usr/bin:/bin LC_ALL=C \
    ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} ${UBSAN_OPTIONS:+UBSAN_OPTIONS="$UBSAN_OPTIONS"} \
    ${LSAN_OPTIONS:+LSAN_OPTIONS="$LSAN_OPTIONS"} "$@" </dev/null
}

answer=$(run "$prefix/bin/ostravel" "MW(CuSO4.5H2O)") || fail "the one-shot calculation failed"
[[ $answer == 249.6* ]] || fail "MW(CuSO4.5H2O) gave '$answer'"

data=$home/.local/share/ostravel
for file in TOLVANE.INI TOLVANEC.INI TOLVANE.TXT ISOTOPES.TXT tolvane1.ht_ tolvanes.ht_; do
  cmp -s "$prefix/share/ostravel/$file" "$data/$file" || fail "$data/$file was not seeded"
done

# The isotope table is program data: an older copy in the data folder gives way to the
# delivered one.
printf '[Isotopes]\nC\t13\t13.1\t\n' >"$data/ISOTOPES.TXT"
answer=$(run "$prefix/bin/ostravel" "EM(^13CO2)") || fail "EM(^13CO2) failed: $answer"
cmp -s "$prefix/share/ostravel/ISOTOPES.TXT" "$data/ISOTOPES.TXT" ||
  fail "an older isotope table in $data was not replaced"
[[ $answer == 44.9931840* ]] || fail "EM(^13CO2) gave '$answer'"

painted=$(run QT_QPA_PLATFORM=offscreen OSTRAVEL_EXIT_AFTER_PAINT=1 "$prefix/bin/ostravel" 2>&1) ||
  fail "the window failed: $painted"
grep -q "^first paint: " <<<"$painted" || fail "the window was not painted: $painted"

entry=$prefix/share/applications/ostravel.desktop
[ -f "$entry" ] || fail "no desktop entry"
for size in 16 24 32 48 64 128 256; do
  [ -s "$prefix/share/icons/hicolor/${size}x$size/apps/ostravel.png" ] || fail "no $size pixel icon"
done
if command -v desktop-file-validate >/dev/null; then
  hints=$(desktop-file-validate "$entry" 2>&1) || fail "$hints"
  [ -z "$hints" ] || fail "desktop-file-validate: $hints"
fi
echo "installed under $prefix: one-shot, data folder, window and desktop entry work"
