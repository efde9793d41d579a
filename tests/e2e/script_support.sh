# Sourced by the scripts that drive the real program: a private work folder,
# the failure count, the bounded wait they all use and how they find the
# program's windows.

work=$(mktemp -d)
app_pid=
display_holder=
window=
other=
failures=0

# Counts a failure and shows what the program printed.
fail() {
  echo "FAIL: $*"
  [ -f "$work/app.log" ] && sed 's/^/  program: /' "$work/app.log"
  failures=$((failures + 1))
}

# Polls until the command succeeds. The command runs anew on each poll, so
# pass a command or function name, never a condition expanded beforehand
# ("$(...)" is evaluated once, before the first poll). The bound, five
# minutes, only turns a program that never gets there into a failure instead
# of a hang; it is no measure of speed.
wait_until() {
  local deadline=$((SECONDS + 300))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# The program's visible top-level windows (its dialog, message boxes, file
# dialogs; its views are windows too, but inside the dialog), one id a line;
# fails when it could not look. xdotool walks the whole window tree and ends
# on an X error (BadWindow) when a window it examines is destroyed meanwhile,
# which the program does to short-lived windows of its own as it starts and
# opens dialogs; with no match it also ends with status 1, but silently.
program_windows() {
  local ids id
  ids=$(xdotool search --onlyvisible --pid "$app_pid" 2>"$work/search.err")
  [ -s "$work/search.err" ] && return 1
  for id in $ids; do
    xwininfo -tree -id "$id" 2>/dev/null | grep -q '^  Parent window id: .*(the root window)' && echo "$id"
  done
  return 0
}

# Those other than the dialog ($window).
other_windows() {
  local all id
  all=$(program_windows) || return 1
  for id in $all; do
    [ "$id" = "$window" ] || echo "$id"
  done
}

# Keeps a connection to the X server open while the script runs. A server
# started without -noreset (as xvfb-run starts it) resets when its last
# client leaves and drops a client that connects meanwhile, so a program
# started just after the previous one ended would fail to connect.
hold_display() {
  xprop -root -spy >/dev/null 2>&1 &
  display_holder=$!
}
release_display() {
  if [ -n "$display_holder" ]; then
    kill "$display_holder" 2>/dev/null
    wait "$display_holder" 2>/dev/null
  fi
  display_holder=
}

# Waits (bounded) for the program's dialog, the first window it shows; sets
# window. Fails at once when the program has ended.
wait_for_dialog() {
  window=
  wait_until dialog_shown_or_ended && [ -n "$window" ]
}

# Conditions for wait_until, each looking afresh.
dialog_shown_or_ended() {
  local all
  kill -0 "$app_pid" 2>/dev/null || return 0
  all=$(program_windows) || return 1
  window=$(head -n 1 <<<"$all")
  [ -n "$window" ]
}
# A window other than the dialog is shown; sets other.
has_other_window() {
  local others
  others=$(other_windows) || return 1
  other=$(head -n 1 <<<"$others")
  [ -n "$other" ]
}
has_no_other_window() {
  local others
  others=$(other_windows) || return 1
  [ -z "$others" ]
}
