#!/usr/bin/env bash
# Starts the modeller on a private Xvfb display with a design (by default the
# textured example vase), turns the 3D view a little with the mouse as a user
# would and saves a screenshot: demo-on-xvfb.sh PROGRAM SCREENSHOT [DESIGN]
set -euo pipefail
program=$(realpath "$1")
screenshot=$(realpath -m "$2")
design=$(realpath "${3:-$(dirname "$0")/../examples/vase.velmora}")
mkdir -p "$(dirname "$screenshot")"
work=$(mktemp -d)

display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
cleanup() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=":$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$program" "$design" >"$work/app.log" 2>&1 &
app_pid=$!
# Polled rather than `search --sync`: xdotool ends on an X error when one of
# the windows it examines is destroyed meanwhile, as the program does to
# short-lived windows of its own while it starts.
window=
for _ in $(seq 600); do
  window=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | head -n 1) || true
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no window of the program appeared" >&2; exit 1; }
sleep 2
eval "$(xdotool getwindowgeometry --shell "$window")"

# A small turn of the view with the left button: tip it towards the viewer.
xdotool mousemove --window "$window" $((392 * WIDTH / 474)) $((50 * HEIGHT / 233)) mousedown 1
for step in $(seq 1 8); do
  xdotool mousemove --window "$window" $((392 * WIDTH / 474)) $(((50 + 2 * step) * HEIGHT / 233))
  sleep 0.05
done
xdotool mouseup 1
sleep 1
import -window "$window" "$screenshot"
echo "Screenshot: $screenshot"
xdotool windowfocus --sync "$window" key Escape
for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
