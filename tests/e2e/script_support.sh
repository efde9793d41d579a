# Sourced by the scripts that drive the real program: a private work folder,
# the failure count, the bounded wait they all use and how they find the
# program's windows.

work=$(mktemp -d)
app_pid=
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

# Conditions for wait_until, each looking afresh.
# The program's dialog is shown (the first window it shows); sets window.
dialog_shown() {
  local all
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
