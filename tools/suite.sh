# The test suite's two builds and how each runs; sourced by test.sh and
# tools/soak.sh so that both run exactly the same thing.

jobs=$(nproc)

# The export tests hand their files to independent checkers and must find
# them, not skip: the Khronos glTF validator and the manifold library come
# from npm into the tree.
export VELMORA_REQUIRE_CHECKERS=1
validator_version=2.0.0-dev.3.10
manifold_version=3.5.4

# Configures and builds a tree: build_suite DIR [cmake options...]
build_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  # Both in one install: a later --no-save install would drop the other.
  if ! grep -qs "\"version\": \"$validator_version\"" "$dir/npm/node_modules/gltf-validator/package.json" ||
     ! grep -qs "\"version\": \"$manifold_version\"" "$dir/npm/node_modules/manifold-3d/package.json"; then
    npm install --prefix "$dir/npm" --no-save --no-audit --no-fund --loglevel=error \
      "gltf-validator@$validator_version" "manifold-3d@$manifold_version"
  fi
  cmake --build "$dir" -j"$jobs"
}

# Runs a built tree's tests on a private virtual X server: run_suite DIR.
# -noreset: by default the server resets when its last client leaves, as
# each test program does, and drops a client that connects meanwhile (the
# next test program, which then cannot open the display).
run_suite() {
  local dir=$1; shift
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --test-dir "$dir" --output-on-failure --timeout 600 "$@"
}

release_dir=build
sanitized_dir=build-asan

build_release() { build_suite "$release_dir"; }
build_sanitized() { build_suite "$sanitized_dir" -DVELMORA_SANITIZE=ON -DVELMORA_BUILD_BENCH=OFF; }

run_release() { run_suite "$release_dir" "$@"; }

# The sanitized run keeps Mesa's driver mapped for the leak check (see
# tests/sanitizer/) and renders with softpipe, not llvmpipe: GCC 12's leak
# checker misreads the thread-local block that llvmpipe's LLVM allocates and
# faults in it at exit, at random. softpipe never touches LLVM.
run_sanitized() {
  ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0 \
  GALLIUM_DRIVER=softpipe \
  LD_PRELOAD=$PWD/$sanitized_dir/tests/libvelmora_keep_gl_driver.so \
    run_suite "$sanitized_dir" "$@"
}
