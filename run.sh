#!/usr/bin/env bash
# Builds Velmora and starts it. With no display it starts it on a virtual X
# server, models a textured vase the way a user would (mouse and keyboard),
# saves a screenshot and prints its path.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target velmora

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec ./build/velmora
fi
exec tools/demo-on-xvfb.sh ./build/velmora "${VELMORA_SCREENSHOT:-$PWD/out/velmora-screenshot.png}"
