#!/usr/bin/env bash
# Installs the Debian packages Zyk needs, through apt-get.
#   scripts/install-deps.sh          what building the plug-in bundle needs
#   scripts/install-deps.sh --tests  that, and what building and running every test needs
set -euo pipefail
build_packages=(
  build-essential cmake pkg-config
  libresample1-dev libexpat1-dev libcairo2-dev libfontconfig-dev libx11-dev fonts-liberation
  juce-modules-source-data # Steinberg's VST3 SDK subset
)
test_packages=(
  clang libclang-rt-14-dev # sanitizers and libFuzzer
  clang-format # the format check
  clang-tidy # the naming check
  libgtest-dev libgmock-dev libbenchmark-dev
  ardour # a real VST3 host for tests/hosts: scanner, Lua sessions and export run headless
  xvfb xdotool x11-utils imagemagick # the editor's window tests under a virtual display
  libxres-dev # counting the X server's resources per client (the editor leaves none behind)
)
packages=("${build_packages[@]}")
if [ "${1:-}" = "--tests" ]; then
  packages+=("${test_packages[@]}")
elif [ $# -gt 0 ]; then
  echo "usage: $0 [--tests]" >&2
  exit 2
fi
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
