#!/usr/bin/env bash
# The real program under the environment a user sets, on the current X
# display: QT_SCALE_FACTOR=2 doubles every window (the dialog and its three
# views) against scale 1, within a pixel; a Korean locale (LANG or LC_ALL,
# no generated system locale needed) gives the texture file dialog its
# Korean title, any other locale the English one. Every wait is bounded.
set -u
program=${1:?usage: environment.sh path/to/velmora}

if [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null 2>&1 || ! command -v xprop >/dev/null 2>&1; then
  echo "SKIP: needs an X display, xdotool and xprop"
  exit 77
fi

. "$(dirname "$0")/script_support.sh"
stop() {
  if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then
    kill "$app_pid" 2>/dev/null
    wait "$app_pid" 2>/dev/null
  fi
  app_pid=
}
trap 'stop; release_display; rm -rf "$work"' EXIT
hold_display

# Starts the program with the given environment; sets window.
start() {
  env "$@" "$program" >"$work/app.log" 2>&1 &
  app_pid=$!
  wait_for_dialog || { fail "$*: no window of the program appeared"; stop; return 1; }
}

# The dialog's size and every native window inside it (the views), one
# "width height x y" line each, sorted.
geometry() {
  xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print "dialog", w, h}'
  xwininfo -tree -id "$window" | sed -n 's/.* \([0-9]*\)x\([0-9]*\)+\(-*[0-9]*\)+\(-*[0-9]*\)  .*/view \1 \2 \3 \4/p' | sort -n -k4
}

echo "Scale 2 doubles the dialog and its views"
if start QT_SCALE_FACTOR=1; then
  geometry >"$work/scale1"
  stop
fi
if start QT_SCALE_FACTOR=2; then
  geometry >"$work/scale2"
  stop
fi
if [ -s "$work/scale1" ] && [ -s "$work/scale2" ]; then
  [ "$(grep -c '^view' "$work/scale1")" -eq 3 ] || fail "scale 1: not three views: $(cat "$work/scale1")"
  # Each figure at scale 2 is twice the one at scale 1, give or take a pixel.
  if ! paste -d ' ' "$work/scale1" "$work/scale2" | awk '
      NF % 2 != 0 { bad = 1 }
      { n = NF / 2; for (i = 2; i <= n; ++i) { d = $(i + n) - 2 * $i; if (d < -1 || d > 1) bad = 1 } }
      END { exit bad }'; then
    fail "scale 2 is not twice scale 1:"
    paste "$work/scale1" "$work/scale2" | sed 's/^/  /'
  fi
  [ "$(wc -l <"$work/scale1")" -eq "$(wc -l <"$work/scale2")" ] || fail "the views differ between the scales"
fi

# The title of the program's file dialog after "Load Texture", at the
# button's place in dialog units (319, 184, 146 x 18 of 474 x 233, above a
# status bar 18 pixels tall at scale 1).
file_dialog_title() {
  local width height
  eval "$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^WIDTH=/width=/p; s/^HEIGHT=/height=/p')"
  xdotool mousemove --window "$window" $((392 * width / 474)) $((193 * (height - 18 * width / 948) / 233)) click 1
  wait_until has_other_window || { echo "(no file dialog)"; return; }
  # Korean titles are only in _NET_WM_NAME, which xprop prints as octal
  # escapes outside a UTF-8 locale.
  printf '%b' "$(xprop -id "$other" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')"
}

check_title() {
  local expected=$1; shift
  echo "$* -> \"$expected\""
  if start "$@"; then
    local title
    title=$(file_dialog_title)
    [ "$title" = "$expected" ] || fail "$*: the file dialog is titled \"$title\", not \"$expected\""
    stop
  fi
}
check_title "텍스처 불러오기" LANG=ko_KR.UTF-8 LC_ALL= LANGUAGE=
check_title "텍스처 불러오기" LANG=C LC_ALL=ko_KR.UTF-8 LANGUAGE=
check_title "Load Texture" LANG=de_DE.UTF-8 LC_ALL= LANGUAGE=
check_title "Load Texture" LANG=C.UTF-8 LC_ALL= LANGUAGE=

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all passed"
