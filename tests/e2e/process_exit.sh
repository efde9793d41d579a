#!/usr/bin/env bash
# The real program under the current X display, driven with xdotool: Enter in
# the degree field and Escape each end it with exit code 0, also after a menu
# and a file dialog have had the keyboard; Enter on a degree that does not
# parse keeps it open. Every wait is bounded.
set -u
program=${1:?usage: process_exit.sh path/to/velmora}

if [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null 2>&1; then
  echo "SKIP: needs an X display and xdotool"
  exit 77
fi

. "$(dirname "$0")/script_support.sh"
cleanup() {
  if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then
    kill "$app_pid" 2>/dev/null
  fi
  release_display
  rm -rf "$work"
}
trap cleanup EXIT
hold_display

has_ended() { ! kill -0 "$app_pid" 2>/dev/null; }

# Starts the program and finds its dialog window; sets window, WIDTH, HEIGHT.
# Input sent from here on queues in order behind the window's mapping.
start() {
  "$program" >"$work/app.log" 2>&1 &
  app_pid=$!
  if ! wait_for_dialog; then
    fail "no window of the program appeared"
    return 1
  fi
  eval "$(xdotool getwindowgeometry --shell "$window")"
}

# Waits (bounded) for the program to end; sets code, or fails.
wait_exit() {
  wait_until has_ended
  if kill -0 "$app_pid" 2>/dev/null; then
    fail "$1: the program is still running"
    kill "$app_pid" 2>/dev/null
    wait "$app_pid" 2>/dev/null
    app_pid=
    return 1
  fi
  wait "$app_pid"
  code=$?
  app_pid=
}

# Clicks a point given in dialog units (the dialog is 474 x 233 of them, and
# the status bar below them 12 more, 18 pixels at scale 1).
click_dlu() {
  xdotool mousemove --window "$window" $(($1 * WIDTH / 474)) $(($2 * (HEIGHT - 18 * WIDTH / 948) / 233)) click 1
}

# The degree field (204, 187, 20 x 14): click it, clear it, type.
type_degree() {
  xdotool windowfocus --sync "$window"
  click_dlu 214 194
  xdotool key ctrl+a BackSpace
  xdotool type --delay 30 "$1"
}

echo "Enter on a valid degree"
if start; then
  type_degree 7
  if ! kill -0 "$app_pid" 2>/dev/null; then
    fail "the program ended before Enter"
  else
    xdotool key Return
    if wait_exit "Enter"; then
      [ "$code" -eq 0 ] || fail "Enter: exit code $code"
    fi
  fi
fi

echo "Escape after drawing in a view asks first; undone, it ends at once"
if start; then
  # A click in a view must leave the keyboard with the dialog.
  xdotool windowfocus --sync "$window"
  click_dlu 100 90
  xdotool key Escape
  # The unsaved point: a question, which Escape (Cancel) closes.
  if ! wait_until has_other_window; then
    fail "no question about the unsaved point"
  else
    box=$other
    xdotool windowfocus --sync "$box" key Escape
    wait_until has_no_other_window || fail "Escape did not close the question"
    has_ended && fail "Cancel ended the program"
    if ! has_ended; then
      xdotool windowfocus --sync "$window" key ctrl+z Escape
      if wait_exit "Escape after undo"; then
        [ "$code" -eq 0 ] || fail "Escape after undo: exit code $code"
      fi
    fi
  fi
fi

echo "Escape after a menu and a file dialog have closed"
if start; then
  # No window manager hands the keyboard back: the dialog must take it.
  menu_bar=$((HEIGHT - (350 + 18) * WIDTH / 948))
  xdotool mousemove --window "$window" $((45 * WIDTH / 948)) $((menu_bar / 2)) click 1
  if ! wait_until has_other_window; then
    fail "the Edit menu did not open"
  else
    xdotool key Escape
    wait_until has_no_other_window || fail "Escape did not close the menu"
    xdotool key ctrl+o
    if ! wait_until has_other_window; then
      fail "Ctrl+O showed no file dialog"
    else
      xdotool key Escape
      wait_until has_no_other_window || fail "Escape did not close the file dialog"
      # The label "Degree :" takes no focus of its own.
      click_dlu 186 194
      xdotool key Escape
      if wait_exit "Escape after the menu and the file dialog"; then
        [ "$code" -eq 0 ] || fail "Escape after the menu and the file dialog: exit code $code"
      fi
    fi
  fi
fi

echo "Enter on a degree that does not parse, then Escape twice"
if start; then
  type_degree x1
  xdotool key Return
  # The refusal is a message box: a second window of the program.
  if ! wait_until has_other_window; then
    if has_ended; then
      fail "the program ended on a degree that does not parse"
      app_pid=
    else
      fail "no message box appeared"
    fi
  else
    box=$other
    xdotool windowfocus --sync "$box" key Escape
    if ! wait_until has_no_other_window; then
      fail "Escape did not close the message box"
    fi
    has_ended && fail "closing the box ended the program"
    if ! has_ended; then
      xdotool windowfocus --sync "$window" key Escape
      if wait_exit "Escape after the box"; then
        [ "$code" -eq 0 ] || fail "Escape after the box: exit code $code"
      fi
    fi
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all passed"
