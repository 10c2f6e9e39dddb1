#!/usr/bin/env bash
# The window path without any display: one Russian line naming the batch commands, status 1,
# no toolkit abort (a signal would give a status above 128). A lone command word and a mistyped
# one both reach the window path. The same for a display that is named but has no server behind it.
#   NoDisplayTest.sh TAVIK FILE
set -u
exe=$1 file=$2
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
expected="Нет дисплея, окно открыть нельзя. Без окна работают команды DECODE, EXPORT, JSON, CSV: tavik <команда> <файл> [<папка>]"
for args in "" "$file" "decod $file" "DECODE"; do
  # shellcheck disable=SC2086
  err=$(cd /tmp && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$exe" $args 2>&1 >/dev/null)
  status=$?
  [ "$status" -eq 1 ] || fail "'$args': status $status"
  [ "$err" = "$expected" ] || fail "'$args': $err"
done

# A display number no server listens on.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
for args in "" "$file"; do
  # shellcheck disable=SC2086
  err=$(cd /tmp && ulimit -c 0 && env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=":$display" "$exe" $args 2>&1 >/dev/null)
  status=$?
  [ "$status" -eq 1 ] || fail "DISPLAY=:$display '$args': status $status"
  [ "$err" = "$expected" ] || fail "DISPLAY=:$display '$args': $err"
done
exit $((failures > 0))
