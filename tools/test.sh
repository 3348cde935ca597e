#!/usr/bin/env bash
# Builds Lantern with its tests and runs them all headless.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/setup.sh" -DLANTERN_TESTS=ON
cd "$here/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 600
