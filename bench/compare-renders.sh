#!/usr/bin/env bash
# Renders the same set of performances with two builds of the render tool and compares the WAV
# files byte for byte: the songs on Singles, built-in patterns on Singles and Multis, several host
# rates (odd ones too: 47,999 and 22,050 Hz) and block sizes, the eight-output mode whose aux
# buses stay silent or wake up, and controllers moving with no note before the notes come in.
# A check for people changing the engine's speed, whose renders must not change by one bit.
#
# usage: bench/compare-renders.sh OLD_BUILD_DIR NEW_BUILD_DIR [SECONDS]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
old=${1:?old build dir}
new=${2:?new build dir}
seconds=${3:-60}
for build in "$old" "$new"; do
  [ -x "$build/tools/render/zyk_render" ] || { echo "missing $build/tools/render/zyk_render" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$new/tools/render/zyk_song" piano "$seconds" "$work/piano.mid"
"$new/tools/render/zyk_song" organ "$seconds" "$work/organ.mid"
length=$(awk -v s="$seconds" 'BEGIN { print s + 2 }')
# The piano song's controllers alone for its first third (source-mix ramps run on into the notes).
[ -x "$new/bench/zyk_strip_notes" ] || { echo "missing $new/bench/zyk_strip_notes" >&2; exit 1; }
"$new/bench/zyk_strip_notes" "$work/piano.mid" "$(awk -v s="$seconds" 'BEGIN { print s / 3 + 0.013 }')" \
  "$work/controllers-first.mid"

# name | render arguments
cases=(
  "piano-song|--single 1 --midi $work/piano.mid --seconds $length"
  "organ-song|--single 11 --midi $work/organ.mid --seconds $length"
  "piano-song-44k1-random-blocks|--single 1 --midi $work/piano.mid --seconds $length --rate 44100 --block 0"
  "organ-song-96k|--single 11 --midi $work/organ.mid --seconds $length --rate 96000"
  "piano-song-mono|--single 1 --midi $work/piano.mid --seconds $length --channels 1"
  "piano-song-aux-buses|--single 1 --midi $work/piano.mid --seconds $length --channels 8 --output-mode 0"
  "piano-song-per-source|--single 1 --midi $work/piano.mid --seconds $length --channels 8"
  "multi-0-aux-buses|--multi 0 --seconds 20 --channels 8 --block 0"
  "multi-3-aux-buses-44k1|--multi 3 --seconds 20 --channels 8 --rate 44100"
  "multi-7|--multi 7 --seconds 20 --block 0"
  "multi-12|--multi 12 --seconds 20"
  "piano-song-on-strings|--single 19 --midi $work/piano.mid --seconds $length"
  "organ-song-on-brass-47999|--single 25 --midi $work/organ.mid --seconds $length --rate 47999"
  "piano-song-47999|--single 1 --midi $work/piano.mid --seconds $length --rate 47999 --block 0"
  "organ-song-22050|--single 11 --midi $work/organ.mid --seconds $length --rate 22050"
  "piano-song-aux-buses-47999|--single 1 --midi $work/piano.mid --seconds $length --channels 8 --output-mode 0 --rate 47999"
  "multi-1-47999|--multi 1 --seconds 20 --rate 47999 --block 0"
  "multi-5-22050|--multi 5 --seconds 20 --rate 22050"
  "multi-9-aux-buses-47999|--multi 9 --seconds 20 --channels 8 --rate 47999"
  "multi-14-22050-random-blocks|--multi 14 --seconds 20 --rate 22050 --block 0"
  "controllers-then-notes|--single 1 --midi $work/controllers-first.mid --seconds $length"
  "controllers-then-notes-47999|--single 1 --midi $work/controllers-first.mid --seconds $length --rate 47999 --block 0"
  "controllers-then-notes-44k1-on-strings|--single 19 --midi $work/controllers-first.mid --seconds $length --rate 44100"
  "controllers-then-notes-aux-buses-47999|--single 1 --midi $work/controllers-first.mid --seconds $length --channels 8 --output-mode 0 --rate 47999"
  "controllers-then-notes-multi-3-47999|--multi 3 --midi $work/controllers-first.mid --seconds $length --rate 47999 --block 0"
)
for single in 0 5 17 23 30 42 50 63; do
  cases+=("single-$single|--single $single --seconds 12 --block 0")
done
# Singles with an auto-bend (and the vibrato that fades in after it), at odd host rates too.
for single in 19 25 40 63; do
  cases+=("single-$single-47999|--single $single --seconds 12 --rate 47999 --block 0")
  cases+=("single-$single-22050|--single $single --seconds 12 --rate 22050")
done

failed=0
for entry in "${cases[@]}"; do
  name=${entry%%|*}
  read -r -a args <<<"${entry#*|}"
  "$old/tools/render/zyk_render" "${args[@]}" --out "$work/old.wav" >/dev/null
  "$new/tools/render/zyk_render" "${args[@]}" --out "$work/new.wav" >/dev/null
  if cmp -s "$work/old.wav" "$work/new.wav"; then
    printf '%-32s identical (%s)\n' "$name" "$(md5sum <"$work/new.wav" | cut -c1-12)"
  else
    printf '%-32s DIFFERENT\n' "$name"
    failed=1
  fi
done
exit "$failed"
