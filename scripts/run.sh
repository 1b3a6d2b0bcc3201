#!/usr/bin/env bash
# Installs what is missing, builds, and starts Murmelo (with a private display and sound server
# when the machine has none). Arguments go to Murmelo.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/deps.sh"
"$here/scripts/build.sh"
exec "$here/scripts/session.sh" "${BUILD_DIR:-$here/build}/bin/Murmelo" "$@"
