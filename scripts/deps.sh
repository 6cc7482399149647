#!/usr/bin/env bash
# Installs what the tool needs to build and run on Debian (bookworm or later).
# Usage: scripts/deps.sh [extra-package ...]
set -euo pipefail
pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev libarchive-dev "$@")
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Install them with:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
