#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Keystead need.
set -euo pipefail
packages=(
  build-essential cmake pkg-config git python3 openssl sqlite3 xvfb xauth
  libsqlite3-dev libpugixml-dev libhidapi-dev libudev-dev
  libsdl2-dev libcairo2-dev libpango1.0-dev libgif-dev
  libcurl4-openssl-dev libminizip-dev zlib1g-dev libsodium-dev
  libpulse-dev libx11-dev libxext-dev libglib2.0-dev
  libgtest-dev libgmock-dev googletest
  fonts-open-sans fonts-liberation2
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
