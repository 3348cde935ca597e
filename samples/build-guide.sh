#!/usr/bin/env bash
# Compiles the bundled user guide (samples/guide) into samples/lantern-guide.chm with chmcmd (Debian fp-utils).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here/guide"
chmcmd lantern-guide.hhp >/dev/null
mv -f lantern-guide.chm "$here/lantern-guide.chm"
