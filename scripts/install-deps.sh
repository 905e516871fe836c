#!/usr/bin/env bash
# Installs every Debian package that building and testing Zyk needs.
set -euo pipefail
packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libresample1-dev libexpat1-dev libcairo2-dev libfontconfig-dev libx11-dev fonts-liberation
  juce-modules-source-data
  ardour # a real VST3 host for tests/hosts: scanner, Lua sessions and export run headless
  xvfb xdotool x11-utils imagemagick # the editor's window tests under a virtual display
)
sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  sudo_if_needed apt-get update -qq
  sudo_if_needed apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
