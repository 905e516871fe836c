# Sourced by the Ardour GUI scripts: open_editor <session.ardour> <log> starts Ardour's GUI on a
# session whose instrument window is marked open and sets PID (Ardour), W (the plug-in window)
# and EDITOR (our editor's window inside it); on failure it calls the script's fail().
open_editor() {
  ardour -n -a "$1" > "$2" 2>&1 &
  PID=$!
  W=""
  for _ in $(seq 1 240); do # up to 60 s
    W=$(xdotool search --onlyvisible --name "^Zyk: " 2>/dev/null | head -1)
    [ -n "$W" ] && break
    kill -0 $PID 2>/dev/null || break
    sleep 0.25
  done
  [ -n "$W" ] || { tail -20 "$2"; fail "no plug-in window (a dialog? see the root screenshot)"; }
  echo "plug-in window: $(xdotool getwindowname "$W")"
  sleep 1.5
  # X resource ids carry their client in the top bits (Xvfb: id >> 21): the editor is the first
  # child window made by another client than Ardour (its generic controls are all its own).
  EDITOR=""
  for id in $(xwininfo -tree -id "$W" | awk '$1 ~ /^0x/ { print $1 }'); do
    [ $((id >> 21)) -ne $((W >> 21)) ] && { EDITOR=$id; break; }
  done
  [ -n "$EDITOR" ] || fail "the window shows Ardour's generic controls, not our editor"
}
