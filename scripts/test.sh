#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test in a private display and sound server
# (tests feed the virtual microphone, so they never use the user's own).
# SANITIZE=1 also builds and runs the suite with the address and undefined-behaviour sanitizers,
# and the sample tap's stress test with the thread sanitizer.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/deps.sh"
"$here/scripts/build.sh"
"$here/scripts/session.sh" --private ctest --test-dir "${BUILD_DIR:-$here/build}" --output-on-failure -j2
if [ "${SANITIZE:-0}" = "1" ]; then
  BUILD_DIR="$here/build-asan" BUILD_TYPE=Debug "$here/scripts/build.sh" -DMURMELO_SANITIZE=ON -DMURMELO_BENCH=OFF
  ASAN_OPTIONS=detect_leaks=0 "$here/scripts/session.sh" --private \
    ctest --test-dir "$here/build-asan" --output-on-failure -j2
  BUILD_DIR="$here/build-tsan" BUILD_TYPE=Debug TARGETS="audio_sample_tap_test" \
    "$here/scripts/build.sh" -DMURMELO_TSAN=ON -DMURMELO_BENCH=OFF
  "$here/scripts/session.sh" --private ctest --test-dir "$here/build-tsan" --output-on-failure -L tsan
fi
