#!/usr/bin/env bash
# Plays the project's benchmark songs with Zyk's render tool and with FluidSynth (reverb and
# chorus off, polyphony 256, fast render to a file) and prints the CPU time of each and their
# ratio, the median of several runs made in this one call. A benchmark for people, not a test.
#
# usage: bench/compare-fluidsynth.sh [BUILD_DIR] [SECONDS]   (defaults: build/dev, 300)
# ZYK_RUNS sets the number of runs per song (default 5).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
seconds=${2:-300}
runs=${ZYK_RUNS:-5}
soundfont=/usr/share/sounds/sf2/FluidR3_GM.sf2

render=$build/tools/render/zyk_render
song=$build/tools/render/zyk_song
for tool in "$render" "$song"; do
  [ -x "$tool" ] || { echo "missing $tool: build the project first (cmake --build $build)" >&2; exit 1; }
done
if ! command -v fluidsynth >/dev/null || [ ! -f "$soundfont" ]; then
  echo "FluidSynth and its General MIDI sound font are needed:" >&2
  echo "  sudo apt-get install fluidsynth fluid-soundfont-gm" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# CPU seconds (user + system) of one command.
cpu() {
  local TIMEFORMAT='%3U %3S'
  local t
  t=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
  awk '{ printf "%.3f\n", $1 + $2 }' <<<"$t"
}
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-6s %8s %12s %12s %8s\n' song seconds "Zyk CPU s" "Fluid CPU s" ratio
# song, Zyk Single (factory number), General MIDI program for FluidSynth
for entry in "piano 1 0" "organ 11 16"; do
  read -r name single program <<<"$entry"
  midi=$work/$name.mid
  "$song" "$name" "$seconds" "$midi"
  echo "prog 0 $program" >"$work/$name.cmd"
  length=$(awk -v s="$seconds" 'BEGIN { print s + 2 }')  # the release tails
  zyk=() fluid=()
  for ((r = 0; r < runs; ++r)); do
    zyk+=("$(cpu "$render" --single "$single" --midi "$midi" --seconds "$length" --rate 48000 \
      --out "$work/$name-zyk.wav")")
    fluid+=("$(cpu fluidsynth -n -i -q -R 0 -C 0 -o synth.polyphony=256 -o player.reset-synth=0 \
      -r 48000 -T wav -F "$work/$name-fluid.wav" -f "$work/$name.cmd" "$soundfont" "$midi")")
  done
  z=$(printf '%s\n' "${zyk[@]}" | median)
  f=$(printf '%s\n' "${fluid[@]}" | median)
  printf '%-6s %8s %12s %12s %7.2fx\n' "$name" "$seconds" "$z" "$f" "$(awk -v z="$z" -v f="$f" 'BEGIN { print z / f }')"
done
