#!/usr/bin/env bash
# Starts the modeller on a private Xvfb display, draws a vase profile in the
# left editor, loads a generated bitmap as its texture and saves a screenshot.
set -euo pipefail
program=$(realpath "$1")
screenshot=$(realpath -m "$2")
mkdir -p "$(dirname "$screenshot")"
work=$(mktemp -d)

display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
cleanup() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=":$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# A striped, checkered picture, so that the wrap is easy to see.
convert -size 256x256 xc:'#f4e2b8' -fill '#b8462a' \
  -draw 'rectangle 0,0 255,31' -draw 'rectangle 0,96 255,127' -draw 'rectangle 0,192 255,223' \
  -fill '#2a5f8f' -draw 'rectangle 0,32 31,95' -draw 'rectangle 64,32 95,95' \
  -draw 'rectangle 128,32 159,95' -draw 'rectangle 192,32 223,95' BMP3:"$work/texture.bmp"

"$program" >"$work/app.log" 2>&1 &
app_pid=$!
window=$(xdotool search --sync --onlyvisible --pid "$app_pid" | head -n 1)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"

# The dialog is 474 x 233 dialog units; controls are placed in those units.
click_dlu() {  # x y in dialog units
  xdotool mousemove --window "$window" $(( $1 * WIDTH / 474 )) $(( $2 * HEIGHT / 233 )) click 1
  sleep 0.3
}
# A point of the left editor's world square [-10, 10]^2 (viewport at 7, 7, 146 x 171).
click_profile() {  # world x y, in tenths
  local left=$((7 * WIDTH / 474)) top=$((7 * HEIGHT / 233))
  local w=$((146 * WIDTH / 474)) h=$((171 * HEIGHT / 233))
  xdotool mousemove --window "$window" $(( left + (100 + $1) * w / 200 )) \
    $(( top + (100 - $2) * h / 200 )) click 1
  sleep 0.3
}

for point in "25 -70" "70 -45" "55 -5" "15 25" "20 55" "35 70"; do
  click_profile $point
done
click_dlu 392 193        # "Load Texture"
sleep 1
xdotool type --delay 20 "$work/texture.bmp"
xdotool key Return
sleep 1
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
