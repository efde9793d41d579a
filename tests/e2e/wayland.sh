#!/usr/bin/env bash
# The real program on Wayland: a private headless weston (its CPU renderer)
# and the program on it with no X display. It must start and draw all three
# views, which under Wayland are subsurfaces of the dialog with their own
# OpenGL contexts; the compositor's screenshots show the surface view's red
# and green axes and the editors' black axes. Every wait is bounded.
set -u
program=${1:?usage: wayland.sh path/to/velmora}

for tool in weston weston-screenshooter convert; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: needs $tool"
    exit 77
  fi
done
if ! ls /usr/lib/*/qt6/plugins/platforms/libqwayland-egl.so >/dev/null 2>&1; then
  echo "SKIP: needs Qt's Wayland platform (qt6-wayland)"
  exit 77
fi

. "$(dirname "$0")/script_support.sh"
chmod 700 "$work"
weston_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# One failure is the end here: nothing later can work without the compositor.
fail() {
  echo "FAIL: $*"
  for log in weston app; do
    [ -f "$work/$log.log" ] && tail -n 20 "$work/$log.log" | sed "s/^/  $log: /"
  done
  exit 1
}

export XDG_RUNTIME_DIR=$work
socket=velmora-test
# --debug lets weston-screenshooter take the compositor's picture.
weston --backend=headless-backend.so --use-pixman --debug --socket="$socket" \
  --width=1280 --height=800 --idle-time=0 >"$work/weston.log" 2>&1 &
weston_pid=$!
wait_until test -S "$work/$socket" || fail "weston did not start"

env -u DISPLAY WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland "$program" >"$work/app.log" 2>&1 &
app_pid=$!

# How many pixels of the compositor's picture have exactly this colour (hex).
count() {
  convert "$1" -alpha off -format '%c' histogram:info:- |
    awk -v colour="#$2" 'toupper($3) == colour { n = $1 + 0 } END { print n + 0 }'
}
# Takes a picture; true once it shows both axes of the surface view (each
# some 290 pixels) and the editors' black axes.
draws() {
  kill -0 "$app_pid" 2>/dev/null || fail "the program ended"
  rm -f "$work"/wayland-screenshot*.png
  (cd "$work" && WAYLAND_DISPLAY="$socket" weston-screenshooter >/dev/null 2>&1)
  local shot
  shot=$(ls "$work"/wayland-screenshot*.png 2>/dev/null | head -n 1)
  [ -n "$shot" ] || return 1
  [ "$(count "$shot" FF0000)" -gt 100 ] && [ "$(count "$shot" 00FF00)" -gt 100 ] &&
    [ "$(count "$shot" 000000)" -gt 1000 ]
}
# Each try takes a picture, so the bound is in seconds (a hang guard of
# five minutes, far beyond a busy machine's delay).
deadline=$((SECONDS + 300))
until draws; do
  [ "$SECONDS" -lt "$deadline" ] || fail "the views never showed their pictures"
  sleep 0.1
done
echo "all passed"
