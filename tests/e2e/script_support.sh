# Sourced by the scripts that drive the real program: a private work folder,
# the failure count and the bounded wait they all use.

work=$(mktemp -d)
app_pid=
failures=0

# Counts a failure and shows what the program printed.
fail() {
  echo "FAIL: $*"
  [ -f "$work/app.log" ] && sed 's/^/  program: /' "$work/app.log"
  failures=$((failures + 1))
}

# Polls until the command succeeds. The bound only turns a program that
# never gets there into a failure instead of a hang; it is no measure of speed.
wait_until() {
  for _ in $(seq 3000); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
