#!/usr/bin/env bash
# Installs the built program into a temporary prefix with cmake --install and uses it from a folder
# other than the build folder: the batch decode, --help and --version, the window (its module is
# found from bin/), the desktop entry and the BUFR file type.
#   InstallTest.sh BUILD_DIR SOURCE_DIR SHARED_DIR
set -u
build=$1 source=$2 shared=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
tavik="$prefix/bin/tavik"
mkdir -p "$work/elsewhere/out"
cd "$work/elsewhere" || exit 1

# The batch decode of the installed program writes what the built one writes.
fixture="$source/tests/decoder/data/temp52_ed4_small.bufr"
"$tavik" DECODE "$fixture" "$work/elsewhere/out/" || fail "installed DECODE exited $?"
"$build/src/app/tavik" DECODE "$fixture" "$work/" || fail "built DECODE exited $?"
cmp -s "$work/elsewhere/out/temp52_ed4_small.bufr.PRN" "$work/temp52_ed4_small.bufr.PRN" ||
  fail "the installed DECODE wrote other bytes than the built one"

[ "$("$tavik" --version)" = "Тавик $(sed -n 's/^project(tavik VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")" ] ||
  fail "--version printed: $("$tavik" --version)"
[ "$("$tavik" --help | sed -n 2p)" = "Использование:" ] || fail "--help printed: $("$tavik" --help | head -n 3)"
[ "$("$tavik" -h)" = "$("$tavik" --help)" ] || fail "-h and --help differ"

# The installed window finds its module and opens the sample.
status=0
"$source/tests/app/WindowSmokeTest.sh" "$tavik" "$source/samples/temp52_sample.bufr" "Тавик:27612_20231010110637" || status=$?
[ "$status" -eq 0 ] || [ "$status" -eq 77 ] || fail "the installed window did not open the sample"

# The desktop entry, and the file type once installed into a data folder of the test's own.
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/tavik.desktop" | grep -q 'error:' &&
    fail "desktop-file-validate: $(desktop-file-validate "$prefix/share/applications/tavik.desktop")"
fi
if command -v update-mime-database >/dev/null && command -v xdg-mime >/dev/null; then
  update-mime-database "$prefix/share/mime" >/dev/null 2>&1
  filetype() { XDG_DATA_HOME="$prefix/share" XDG_DATA_DIRS="$prefix/share:/usr/share" xdg-mime query filetype "$1" 2>/dev/null; }
  cp "$fixture" "$work/plain.bin"
  { printf 'IUSC10 RJTD 280000\r\r\n'; cat "$fixture"; } >"$work/bulletin.bin"
  head -c 600 /dev/urandom | tr -d 'B' >"$work/noise.bin"
  for f in "$fixture" "$work/plain.bin" "$work/bulletin.bin"; do
    [ "$(filetype "$f")" = application/x-bufr ] || fail "$(basename "$f") is $(filetype "$f"), not application/x-bufr"
  done
  [ "$(filetype "$work/noise.bin")" != application/x-bufr ] || fail "a .bin without BUFR inside is taken for BUFR"
fi

[ "$failures" -eq 0 ] && echo "installed program works from $prefix"
exit $((failures > 0))
