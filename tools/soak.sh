#!/usr/bin/env bash
# Runs the test suite N times while busy loops keep every core loaded, and
# prints the failures of each run: a suite that depends on timing shows it
# here. Usage: tools/soak.sh N [sanitized|release]   (default: sanitized)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:?usage: tools/soak.sh N [sanitized|release]}
build=${2:-sanitized}
case "$build" in sanitized|release) ;; *) echo "unknown build: $build" >&2; exit 2 ;; esac
tools/install-deps.sh test
. tools/suite.sh

echo "Building the $build tree..."
"build_$build" >/dev/null

busy=()
stop_load() { [ ${#busy[@]} -gt 0 ] && kill "${busy[@]}" 2>/dev/null; true; }
trap stop_load EXIT
for _ in $(seq "$(nproc)"); do
  ( while :; do :; done ) &
  busy+=($!)
done

logs=$(mktemp -d)
green=0
for run in $(seq "$runs"); do
  start=$SECONDS
  log="$logs/run-$run.log"
  if "run_$build" >"$log" 2>&1; then
    green=$((green + 1))
    echo "run $run/$runs ($build): green in $((SECONDS - start)) s"
    rm -f "$log"
  else
    echo "run $run/$runs ($build): RED in $((SECONDS - start)) s (log: $log)"
    grep -E '^\s+[0-9]+ - |FAIL|Failure' "$log" | head -n 20 | sed 's/^/  /'
  fi
done
echo "$green of $runs runs green ($build build, $(nproc) cores loaded)"
[ "$green" -eq "$runs" ]
