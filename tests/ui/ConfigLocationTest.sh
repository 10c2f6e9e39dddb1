#!/usr/bin/env bash
# TAVIK.CNF of a user who may not write the program's folder (an installed program): the window
# run by the user nobody keeps its options and recent files in ~/.config/tavik/TAVIK.CNF, reads
# them back at the next start, takes a TAVIK.CNF beside the program as its defaults without ever
# writing it, and reports nothing at close. A folder the user may write keeps the file beside the
# program. Needs root, to start the window as another user; skips (77) otherwise.
#   ConfigLocationTest.sh CONFIG_PROBE
set -u
probe=$1
[ "$(id -u)" -eq 0 ] || { echo "not root: cannot start the window as another user; skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
expect() {  # expect OUTPUT LINE
  grep -qxF "$2" <<<"$1" || fail "expected \"$2\" in: $1"
}
run() {  # run HOME args...
  local home=$1; shift
  (cd "$work" && env -u XDG_CONFIG_HOME HOME="$home" "$probe" "$@" 2>/dev/null)
}
newHome() { mkdir -p "$1" && chown 65534:65534 "$1"; }

program="$work/program"   # root's, not the user's
mkdir -p "$program" && chmod 755 "$program"

home="$work/home"; newHome "$home"
out=$(run "$home" "$program" set /data/first.bufr)
expect "$out" "writes: $home/.config/tavik/TAVIK.CNF"
expect "$out" "ShowSig: 0"
grep -q '^message:' <<<"$out" && fail "something was reported: $out"
[ -f "$home/.config/tavik/TAVIK.CNF" ] || fail "no TAVIK.CNF in the user's configuration folder"
[ -e "$program/TAVIK.CNF" ] && fail "a TAVIK.CNF appeared in the program's folder"
out=$(run "$home" "$program")
expect "$out" "ShowSig: 1"
expect "$out" "recent: 1"

# An administrator's TAVIK.CNF beside the program gives a new user's defaults and stays as it is.
printf '[OPTIONS]\r\nShowSig=1\r\n' >"$program/TAVIK.CNF"
cp "$program/TAVIK.CNF" "$work/defaults.saved"
home2="$work/home2"; newHome "$home2"
out=$(run "$home2" "$program" set /data/second.bufr)
expect "$out" "ShowSig: 1"
expect "$out" "writes: $home2/.config/tavik/TAVIK.CNF"
grep -q '^message:' <<<"$out" && fail "something was reported: $out"
cmp -s "$program/TAVIK.CNF" "$work/defaults.saved" || fail "the defaults beside the program were changed"
grep -q 'ShowSig=1' "$home2/.config/tavik/TAVIK.CNF" 2>/dev/null || fail "the user's file lacks the defaults it started from"
out=$(run "$home2" "$program")
expect "$out" "recent: 1"

# A folder the user may write keeps TAVIK.CNF beside the program (a portable copy).
portable="$work/portable"; mkdir -p "$portable" && chown 65534:65534 "$portable"
out=$(run "$home" "$portable" set /data/third.bufr)
expect "$out" "writes: $portable/TAVIK.CNF"
[ -f "$portable/TAVIK.CNF" ] || fail "the portable copy's TAVIK.CNF was not written"

[ "$failures" -eq 0 ] && echo "TAVIK.CNF lands where the user may write it"
exit $((failures > 0))
