#!/usr/bin/env bash
# Builds Velmora and runs the whole test suite: once as a normal build, once
# with AddressSanitizer and UndefinedBehaviorSanitizer. GUI tests run on a
# virtual X server, so no display is needed.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test

# The export tests must find their checkers here, not skip.
export VELMORA_REQUIRE_CHECKERS=1
validator_version=2.0.0-dev.3.10

jobs=$(nproc)
run_suite() {
  local dir=$1 preload=$2; shift 2
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  # The Khronos glTF validator, where the export tests look for it.
  if ! grep -qs "\"version\": \"$validator_version\"" "$dir/npm/node_modules/gltf-validator/package.json"; then
    npm install --prefix "$dir/npm" --no-save --no-audit --no-fund --loglevel=error \
      "gltf-validator@$validator_version"
  fi
  cmake --build "$dir" -j"$jobs"
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    env LD_PRELOAD="$preload" ctest --test-dir "$dir" --output-on-failure --timeout 600
}

echo "== Release build and tests"
run_suite build ""

echo "== Sanitized build and tests"
export ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0
run_suite build-asan "$PWD/build-asan/tests/libvelmora_keep_gl_driver.so" \
  -DVELMORA_SANITIZE=ON -DVELMORA_BUILD_BENCH=OFF
