#!/bin/sh
# Real-host test of the VST3 bundle with Debian's Ardour 7 ("None (Dummy)" backend, no display).
#
#   ardour-host-test.sh scan    <Zyk.vst3> <work-dir>
#   ardour-host-test.sh session <Zyk.vst3> <work-dir>
#   ardour-host-test.sh programs <Zyk.vst3> <work-dir>
#   ardour-host-test.sh gui     <Zyk.vst3> <work-dir>
#   ardour-host-test.sh presets <Zyk.vst3> <work-dir>
#
# scan:    Ardour's scanner loads the bundle and finds "Marn' Zyk" with its buses.
# session: scan, then a session with a MIDI track on the instrument: notes from a MIDI region,
#          a parameter and a program set through the host; rendered (not silent, and unlike
#          the same notes with neither edit, or with the program alone: every render starts from
#          the saved state); saved, reloaded in a fresh process (the parameter is back, the saved
#          state unchanged) and rendered again (the same audio); a held organ note ends at
#          a panic (hold pedal up and All Notes Off on every channel) in its MIDI region.
# programs: scan, then a session where a K1 dump renames Single 5 of two instruments: Ardour's
#          program list shows the new name after its next user-interface call (a save), without
#          a reload or an editor.
# gui:     scan, then a session whose instrument window is marked open; Ardour's GUI on a private
#          Xvfb opens our editor in it (screenshots in <work-dir>/out), saves and quits by itself.
# presets: scan, then for Ardour's block sizes 128, 256 and 1024: presets clicked in our editor's
#          browser in Ardour's GUI, the session saved after each click; every parameter value
#          Ardour saved is the instrument's own (the values in its saved state), and so is every
#          control of Ardour's, changed by the click or not.
# Every Ardour call runs under a timeout; Ardour's own logs are printed when a step fails.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
MODE=${1:-}; BUNDLE=${2:-}; WORK=${3:-}
[ -n "$WORK" ] && [ -d "$BUNDLE" ] || { echo "usage: $0 scan|session|programs|gui|presets <Zyk.vst3> <work-dir>"; exit 2; }
BUNDLE=$(realpath "$BUNDLE"); WORK=$(realpath -m "$WORK")
CLASS_ID=84E8DE5E92554F5296FAE4123C935A17
command -v ardour7-lua >/dev/null && [ -x /usr/lib/ardour7/ardour-vst3-scanner ] ||
  { echo "Ardour 7 is not installed: run scripts/install-deps.sh"; exit 1; }

rm -rf "$WORK"; mkdir -p "$WORK/vst3" "$WORK/cache" "$WORK/config" "$WORK/out"
ln -s "$BUNDLE" "$WORK/vst3/Zyk.vst3" # a VST3_PATH folder that holds only our bundle
export XDG_CACHE_HOME="$WORK/cache" XDG_CONFIG_HOME="$WORK/config" VST3_PATH="$WORK/vst3"

fail() { echo "FAILED: $*"; exit 1; }
run() { # run <log> <command...>
  log=$1; shift
  rc=0; timeout 300 "$@" > "$log" 2>&1 || rc=$?
  [ $rc -eq 0 ] || { cat "$log"; fail "$* (exit $rc)"; }
}
# Ardour 7.3 itself sometimes aborts while it creates a track ("Port already exists"), also with
# its own synth: a session script that died by a signal is run again, anything else fails.
lua() { # lua <log> <session-dir-to-clear-or-empty> <script arguments...>
  log=$1; fresh=$2; shift 2
  for try in 1 2 3; do
    [ -z "$fresh" ] || rm -rf "$fresh"
    rc=0; timeout 300 ardour7-lua "$@" > "$log" 2>&1 || rc=$?
    [ $rc -eq 0 ] && return 0
    [ $rc -gt 128 ] || { cat "$log"; fail "ardour7-lua $* (exit $rc)"; }
    echo "ardour7-lua died by signal $((rc - 128)), attempt $try"
  done
  cat "$log"; fail "ardour7-lua died three times"
}
expect() { # expect <log> <fixed text>
  grep -qF -- "$2" "$1" || { cat "$1"; fail "'$2' missing from $(basename "$1")"; }
}

# The scanner exits 0 even for a broken module, so its output is what counts. The session tools
# only read its cache, which must be fresh after every build.
scan() {
  log="$WORK/scan.log"
  # Ardour trusts a cache entry only when it is newer than the module, to the second.
  module="$BUNDLE/Contents/x86_64-linux/Zyk.so"
  [ -f "$module" ] || fail "no module in $BUNDLE"
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    [ "$(date +%s)" -gt "$(stat -c %Y "$module")" ] && break
    sleep 0.3
  done
  run "$log" env LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner -f -v "$WORK/vst3/Zyk.vst3"
  if grep -q '^\[ERROR\]' "$log"; then cat "$log"; fail "the scanner reported an error"; fi
  expect "$log" "Found Plugin: Marn' Zyk"
  expect "$log" "Class: 0 'Marn' Zyk' 'Audio Module Class'"
  expect "$log" "VST3: media: kAudio dir: kOutput type: kMain n_busses: 7"
  expect "$log" "VST3: - bus: 0 count: 2"
  expect "$log" "VST3: - bus: 6 count: 1"
  expect "$log" "VST3: media: kEvent dir: kInput type: kMain n_busses: 1"
  expect "$log" "VST3: media: kEvent dir: kOutput type: kMain n_busses: 1"
  expect "$log" "uid=\"$CLASS_ID\" name=\"Marn' Zyk\""
  expect "$log" 'category="Instrument|Synth" version="1.26" sdk-version="VST 3.6.14"'
  expect "$log" 'n_inputs="0" n_outputs="8"'
  expect "$log" 'n_midi_inputs="1" n_midi_outputs="1"'
  echo "scan: found Marn' Zyk with 7 audio outputs (8 channels), MIDI in and out"
}

# ardour7-export renders the session range in a fresh process (the plug-in restored through
# setState). Ardour 7.3 rarely dies of its own heap corruption at export teardown, also with no
# plug-in at all: by a signal, or stuck on malloc's lock inside its export-channel destructor
# (caught by the timeout, exit 124). Only those are retried; a plug-in fault fails every attempt.
export_wav() { # export_wav <session> <out.wav>
  for try in 1 2 3; do
    rm -f "$2"
    log="$WORK/export-$(basename "$2" .wav)-$try.log"
    rc=0; timeout -s KILL 90 ardour7-export -b float -o "$2" "$1" zyk > "$log" 2>&1 || rc=$?
    [ $rc -eq 0 ] && [ -s "$2" ] && return 0
    [ $rc -gt 128 ] || [ $rc -eq 124 ] || { cat "$log"; fail "ardour7-export $1 (exit $rc)"; }
    echo "ardour7-export died or hung (exit $rc), attempt $try"
  done
  fail "ardour7-export failed three times"
}

session() {
  lua="$HERE/zyk-session.lua"
  lua "$WORK/create-edited.log" "$WORK/edited" "$lua" create "$WORK/edited" "$CLASS_ID" edited
  expect "$WORK/create-edited.log" ZYK-OK
  lua "$WORK/create-plain.log" "$WORK/plain" "$lua" create "$WORK/plain" "$CLASS_ID" plain
  expect "$WORK/create-plain.log" ZYK-OK
  lua "$WORK/create-program.log" "$WORK/program" "$lua" create "$WORK/program" "$CLASS_ID" program
  expect "$WORK/create-program.log" ZYK-OK
  cp "$WORK/edited/zyk.ardour" "$WORK/saved-first.ardour"

  export_wav "$WORK/edited" "$WORK/out/edited.wav"
  export_wav "$WORK/plain" "$WORK/out/plain.wav"
  export_wav "$WORK/program" "$WORK/out/program.wav"
  python3 "$HERE/wavcheck.py" sound "$WORK/out/edited.wav" || fail "the edited session renders silence"
  python3 "$HERE/wavcheck.py" sound "$WORK/out/plain.wav" || fail "the plain session renders silence"
  python3 "$HERE/wavcheck.py" differ "$WORK/out/edited.wav" "$WORK/out/plain.wav" ||
    fail "the parameter and program set through the host changed nothing"
  python3 "$HERE/wavcheck.py" differ "$WORK/out/program.wav" "$WORK/out/plain.wav" ||
    fail "the program set through the host was not restored with the session"
  python3 "$HERE/wavcheck.py" differ "$WORK/out/program.wav" "$WORK/out/edited.wav" ||
    fail "the parameter set through the host was not restored with the session"

  lua "$WORK/reload.log" "" "$lua" reload "$WORK/edited"
  expect "$WORK/reload.log" ZYK-OK
  [ "$(grep '<chunk>' "$WORK/saved-first.ardour")" = "$(grep '<chunk>' "$WORK/edited/zyk.ardour")" ] ||
    fail "the plug-in state changed after reload and save"
  export_wav "$WORK/edited" "$WORK/out/reloaded.wav"
  python3 "$HERE/wavcheck.py" same "$WORK/out/edited.wav" "$WORK/out/reloaded.wav" ||
    fail "the reloaded session sounds different"

  # A panic a second into a held organ note: Ardour hands the hold pedal and All Notes Off of
  # every channel, all of value 0, to the parameters they map to, and the note ends.
  lua "$WORK/create-panic.log" "$WORK/panic" "$lua" create "$WORK/panic" "$CLASS_ID" panic
  expect "$WORK/create-panic.log" ZYK-OK
  export_wav "$WORK/panic" "$WORK/out/panic.wav"
  python3 "$HERE/wavcheck.py" ends "$WORK/out/panic.wav" 1.1 || fail "the note sounds on after the panic"
  echo "session: notes, parameter, program, save, reload and a panic all went through Ardour"
}

programs() {
  lua "$WORK/rename.log" "$WORK/rename" "$HERE/zyk-session.lua" rename "$WORK/rename" "$CLASS_ID" \
    "$HERE/../../data/factory/K1INT.syx"
  expect "$WORK/rename.log" ZYK-OK
  grep -F "program 5" "$WORK/rename.log"
  echo "programs: the controls show the instrument's values; a Single renamed by sysex shows in Ardour's program list without a reload"
}

# Ardour's GUI with the Dummy backend at a given block size: no first-run wizard, the engine
# started, no plug-in discovery at start, our folder as the VST3 path.
gui_config() { # gui_config <block size>
  cfg="$XDG_CONFIG_HOME/ardour7"
  mkdir -p "$cfg"
  touch "$cfg/.a7"
  cat > "$cfg/config" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="try-autostart-engine" value="1"/>
    <Option name="discover-plugins-on-start" value="0"/>
    <Option name="plugin-path-vst3" value="$WORK/vst3"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="None (Dummy)" driver="Normal Speed" device="Silence" input-device="" output-device="" sample-rate="48000" buffer-size="$1" n-periods="0" input-latency="0" output-latency="0" active="1" use-buffered-io="0" midi-option="1 in, 1 out, Silence" lru="$(date +%s)">
          <MIDIDevices/>
        </State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
XML
}

gui() {
  gui_config 1024
  lua "$WORK/create-gui.log" "$WORK/gui" "$HERE/zyk-session.lua" create "$WORK/gui" "$CLASS_ID" plain
  expect "$WORK/create-gui.log" ZYK-OK
  python3 "$HERE/mark-editor-open.py" "$WORK/gui/zyk.ardour" > /dev/null
  export XDG_DATA_HOME="$WORK/data" HOME="$WORK"
  rc=0; timeout -k 10 300 sh "$HERE/with-xvfb.sh" sh "$HERE/ardour-gui-inner.sh" "$WORK/gui/zyk.ardour" "$WORK/out" || rc=$?
  [ $rc -eq 0 ] || fail "Ardour's GUI with our editor (exit $rc)"
  echo "gui: Ardour showed our editor ($WORK/out/ardour-editor.png), saved and quit"
}

presets() {
  export XDG_DATA_HOME="$WORK/data" HOME="$WORK"
  for block in ${ZYK_PRESET_BLOCKS:-128 256 1024}; do
    gui_config "$block"
    dir="$WORK/presets-$block"
    lua "$WORK/create-presets-$block.log" "$dir" "$HERE/zyk-session.lua" create "$dir" "$CLASS_ID" plain
    expect "$WORK/create-presets-$block.log" ZYK-OK
    # The plain range Ardour gives each parameter, to read its saved values against ours.
    if [ ! -s "$WORK/bounds" ]; then
      lua "$WORK/bounds.log" "" "$HERE/zyk-session.lua" bounds "$dir" "$WORK/bounds"
      expect "$WORK/bounds.log" ZYK-OK
    fi
    python3 "$HERE/mark-editor-open.py" "$dir/zyk.ardour" > /dev/null
    earlier="$WORK/out/block$block-created.ardour"
    cp "$dir/zyk.ardour" "$earlier"
    rc=0; timeout -k 10 300 sh "$HERE/with-xvfb.sh" sh "$HERE/ardour-presets-inner.sh" "$dir/zyk.ardour" "$WORK/out" "block$block" || rc=$?
    [ $rc -eq 0 ] || fail "Ardour's GUI with presets clicked at block size $block (exit $rc)"
    # Cell c r of the first page of Singles is Single 8c + r.
    for cell in A1 B3 C5 D6 A7; do
      column=$(($(printf '%d' "'$(echo "$cell" | cut -c1)") - 65)); row=$(echo "$cell" | cut -c2)
      saved="$WORK/out/block$block-single$cell.ardour"
      python3 "$HERE/session-values.py" "$saved" "$WORK/bounds" $((8 * column + row)) "$earlier" ||
        fail "block size $block: after the click on single$cell Ardour holds other values than the instrument"
      earlier=$saved
    done
  done
  echo "presets: at blocks of 128, 256 and 1024 frames, every value and control Ardour saved after each preset click is the instrument's"
}

case "$MODE" in
  scan) scan ;;
  session) scan; session ;;
  programs) scan; programs ;;
  gui) scan; gui ;;
  presets) scan; presets ;;
  *) echo "usage: $0 scan|session|programs|gui|presets <Zyk.vst3> <work-dir>"; exit 2 ;;
esac
echo "ardour host test ($MODE): OK"
