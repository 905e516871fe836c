#!/bin/sh
# ardour-presets-inner.sh <session.ardour> <out-dir> <label>   (needs DISPLAY: a private Xvfb)
# Starts Ardour's GUI on a session whose instrument window is marked open, clicks presets in our
# editor's browser one after the other and saves the session after each click, as a musician
# would: <out>/<label>-<cell>.ardour holds what Ardour saved after the click on that cell
# (singleA1 ... of the first page). Then Ctrl+Q: Ardour must quit by itself.
set -u
SESSION=$1; OUT=$2; LABEL=$3
fail() { echo "FAILED: $*"; import -window root "$OUT/$LABEL-root.png" 2>/dev/null; kill $PID 2>/dev/null; wait $PID 2>/dev/null; exit 1; }
. "$(dirname "$0")/ardour-open-editor.sh"
open_editor "$SESSION" "$OUT/$LABEL-ardour.log"
M=$(xdotool search --onlyvisible --name " - Ardour$" | head -1)
[ -n "$M" ] || fail "no Ardour main window"
# Browser cells at the editor's first size (1024x576, zoom 0.4): column c, row r of the first
# page is Single 8c + r; centres at x = 387.8 + 151.3c, y = 415.7 + 17.9r.
for cell in A1 B3 C5 D6 A7; do
  c=$(printf '%d' "'$(echo "$cell" | cut -c1)"); c=$((c - 65)); r=$(echo "$cell" | cut -c2)
  x=$(echo "387.8 + 151.3 * $c" | bc | cut -d. -f1); y=$(echo "415.7 + 17.9 * $r" | bc | cut -d. -f1)
  xdotool mousemove --window "$EDITOR" "$x" "$y" click 1
  sleep 1.2 # the host hears the new values: its re-read, then the blocks after it
  xdotool windowfocus --sync "$M" key ctrl+s
  sleep 1
  cp "$SESSION" "$OUT/$LABEL-single$cell.ardour"
done
import -window "$EDITOR" "$OUT/$LABEL-editor.png"
xdotool windowfocus --sync "$M" key ctrl+q
for _ in $(seq 1 120); do kill -0 $PID 2>/dev/null || break; sleep 0.25; done # up to 30 s
if kill -0 $PID 2>/dev/null; then fail "Ardour still runs 30 s after Ctrl+Q"; fi
wait $PID; RC=$?
[ $RC -eq 0 ] || { tail -20 "$OUT/$LABEL-ardour.log"; echo "FAILED: Ardour exited with $RC"; exit 1; }
echo "Ardour saved after each click and quit"
