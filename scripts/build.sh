#!/usr/bin/env bash
# Configures and builds into BUILD_DIR (default: build); TARGETS limits what is built.
# Extra arguments go to cmake's configure step.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} "$@" >/dev/null
if [ -n "${TARGETS:-}" ]; then
  # shellcheck disable=SC2086
  cmake --build "$build" -j"$(nproc)" --target $TARGETS
else
  cmake --build "$build" -j"$(nproc)"
fi
