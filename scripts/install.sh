#!/usr/bin/env bash
# Installs the dependencies, builds a Release build and installs the plug-in into ~/.vst3.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DZYK_TESTS=OFF
cmake --build build/release -j"$(nproc)"
bundle=build/release/Zyk.vst3
if [ -d "$bundle" ]; then
  mkdir -p "$HOME/.vst3"
  rm -rf "$HOME/.vst3/Zyk.vst3"
  cp -r "$bundle" "$HOME/.vst3/"
  echo "Installed $HOME/.vst3/Zyk.vst3"
else
  echo "Built the engine library and tools; the VST3 bundle is not part of this build yet."
fi
