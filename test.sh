#!/usr/bin/env bash
# Builds Velmora and runs the whole test suite: once as a normal build, once
# with AddressSanitizer and UndefinedBehaviorSanitizer. GUI tests run on a
# virtual X server, so no display is needed.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test
. tools/suite.sh

echo "== Release build and tests"
build_release
run_release

echo "== Sanitized build and tests"
build_sanitized
run_sanitized
