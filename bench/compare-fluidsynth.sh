#!/usr/bin/env bash
# Plays the project's benchmark songs with Zyk's render tool and with FluidSynth (reverb and
# chorus off, polyphony 256, fast render to a file) and prints the CPU time of each and their
# ratio, the median of several runs made in this one call. A benchmark for people, not a test.
#
# Each song is also played on the eight outputs in Stereo mode, the six aux buses active and
# silent, against the same FluidSynth render. ZYK_BASELINE names a second build directory (the
# code before a change) played in the same runs, interleaved, so both face the same load.
#
# usage: bench/compare-fluidsynth.sh [BUILD_DIR] [SECONDS]   (defaults: build/dev, 300)
# ZYK_RUNS sets the number of runs per song (default 5).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
seconds=${2:-300}
runs=${ZYK_RUNS:-5}
baseline=${ZYK_BASELINE:-}
soundfont=/usr/share/sounds/sf2/FluidR3_GM.sf2

render=$build/tools/render/zyk_render
song=$build/tools/render/zyk_song
base_render=${baseline:+$baseline/tools/render/zyk_render}
for tool in "$render" "$song" ${base_render:+"$base_render"}; do
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

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2fx", a / b }'; }
if [ -n "$baseline" ]; then
  printf '%-10s %7s %10s %10s %10s %9s %9s %9s\n' case seconds "Zyk s" "base s" "Fluid s" Zyk/Fluid \
    base/Fluid Zyk/base
else
  printf '%-10s %7s %10s %10s %9s\n' case seconds "Zyk s" "Fluid s" Zyk/Fluid
fi
# case, song, Zyk Single (factory number), outputs, General MIDI program for FluidSynth
for entry in "piano piano 1 2 0" "organ organ 11 2 16" "piano-aux piano 1 8 0" "organ-aux organ 11 8 16"; do
  read -r name style single outputs program <<<"$entry"
  midi=$work/$style.mid
  [ -f "$midi" ] || "$song" "$style" "$seconds" "$midi"
  echo "prog 0 $program" >"$work/$style.cmd"
  length=$(awk -v s="$seconds" 'BEGIN { print s + 2 }')  # the release tails
  zyk=() base=() fluid=()
  for ((r = 0; r < runs; ++r)); do
    args=(--single "$single" --midi "$midi" --seconds "$length" --rate 48000 --channels "$outputs" --output-mode 0)
    zyk+=("$(cpu "$render" "${args[@]}" --out "$work/$name-zyk.wav")")
    [ -n "$baseline" ] && base+=("$(cpu "$base_render" "${args[@]}" --out "$work/$name-base.wav")")
    fluid+=("$(cpu fluidsynth -n -i -q -R 0 -C 0 -o synth.polyphony=256 -o player.reset-synth=0 \
      -r 48000 -T wav -F "$work/$name-fluid.wav" -f "$work/$style.cmd" "$soundfont" "$midi")")
  done
  z=$(printf '%s\n' "${zyk[@]}" | median)
  f=$(printf '%s\n' "${fluid[@]}" | median)
  if [ -n "$baseline" ]; then
    b=$(printf '%s\n' "${base[@]}" | median)
    printf '%-10s %7s %10s %10s %10s %9s %9s %9s\n' "$name" "$seconds" "$z" "$b" "$f" "$(ratio "$z" "$f")" \
      "$(ratio "$b" "$f")" "$(ratio "$z" "$b")"
  else
    printf '%-10s %7s %10s %10s %9s\n' "$name" "$seconds" "$z" "$f" "$(ratio "$z" "$f")"
  fi
done
