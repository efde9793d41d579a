#!/usr/bin/env bash
# Builds Velmora and starts it, with a design file if one is given
# (./run.sh examples/vase.velmora). With no display it starts it on a virtual
# X server with that design (by default the example vase), turns the view as a
# user would, saves a screenshot and prints its path.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target velmora

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec ./build/velmora "$@"
fi
exec tools/demo-on-xvfb.sh ./build/velmora "${VELMORA_SCREENSHOT:-$PWD/out/velmora-screenshot.png}" "$@"
