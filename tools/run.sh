#!/usr/bin/env bash
# Builds Lantern and opens a help file: the one given, or the bundled user guide.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/setup.sh" -DLANTERN_TESTS=OFF
exec "$here/build/app/lantern" "${1:-$here/samples/lantern-guide.chm}"
