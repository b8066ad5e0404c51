#!/usr/bin/env bash
# Installs what is missing, builds everything (warnings are errors) and runs every test; then builds the core with the
# address and undefined-behaviour sanitizers in its own folder and runs the core tests under them.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

echo "== formatting (.clang-format)"
git ls-files '*.cpp' '*.h' | while read -r f; do [ -f "$f" ] && echo "$f"; done | xargs clang-format --dry-run -Werror

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DXKV_WERROR=ON
cmake --build build -j"$jobs"

# clang-tidy (.clang-tidy) where it is installed, on the sources the last commit and the work tree changed.
if command -v clang-tidy >/dev/null; then
  changed=$({ git diff --name-only HEAD~1 2>/dev/null || true; git diff --name-only HEAD; } |
            grep -E '^(src|tools|tests|bench)/.*\.cpp$' | sort -u | while read -r f; do [ -f "$f" ] && echo "$f"; done || true)
  if [ -n "$changed" ]; then
    echo "== clang-tidy on the changed sources"
    echo "$changed" | xargs -P "$jobs" -n 4 clang-tidy -p build --quiet
  fi
fi

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DXKV_BUILD_GUI=OFF -DXKV_BUILD_BENCH=OFF -DXKV_SANITIZE=ON -DXKV_WERROR=ON
cmake --build build-asan -j"$jobs"

echo "== core tests under address and undefined-behaviour sanitizers"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -L core -j"$jobs")

# Root may write every file and folder, so the read-only cases skip themselves under root; run them
# once more as an ordinary user.
if [ "$(id -u)" -eq 0 ] && command -v runuser >/dev/null && id nobody >/dev/null 2>&1 &&
   runuser -u nobody -- test -x build/tests/xkv_results_tests 2>/dev/null; then
  echo "== read-only cases as an ordinary user"
  runuser -u nobody -- build/tests/xkv_settings_tests --gtest_filter='*InstalledCopy*'
  runuser -u nobody -- build/tests/xkv_results_tests --gtest_filter='*ReadOnly*'
fi

echo "== all tests"
(cd build && ctest --output-on-failure -j"$jobs")

# The Debian packages, made from the programs just built, and what lintian says of them.
if command -v lintian >/dev/null; then
  echo "== the Debian packages under lintian"
  (cd build && rm -f ./*.deb && cpack -G DEB >/dev/null &&
   lintian --pedantic --fail-on error,warning ./xkv4410_*.deb ./xkv4410-sim_*.deb)
fi
