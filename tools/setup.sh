#!/usr/bin/env bash
# Installs what is missing (as root, through apt-get), then configures and builds Lantern into build/.
# Usage: tools/setup.sh [extra cmake options...]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

mapfile -t wanted < <(grep -v '^#' tools/packages.txt | sed '/^$/d')
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja "$@" >/dev/null
cmake --build build -j"$(nproc)"
