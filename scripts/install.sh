#!/usr/bin/env bash
# Installs what building the plug-in needs, builds the bundle alone (Release) and installs it
# into ~/.vst3.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DZYK_TESTS=OFF
cmake --build build/release -j"$(nproc)" --target Zyk
mkdir -p "$HOME/.vst3"
rm -rf "$HOME/.vst3/Zyk.vst3"
cp -r build/release/Zyk.vst3 "$HOME/.vst3/"
echo "Installed $HOME/.vst3/Zyk.vst3"
