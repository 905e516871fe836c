#!/bin/sh
# ardour-gui-inner.sh <session.ardour> <out-dir>   (needs DISPLAY: a private Xvfb)
# Starts Ardour's GUI on a session whose instrument window is marked open and checks that the
# window holds our editor: a child window made by another X client than Ardour's (Ardour's
# generic controls are all its own windows), at the size the editor reports, with the panel
# drawn. Screenshots: <out>/ardour-window.png (host toolbar and editor), <out>/ardour-editor.png
# (the editor alone), <out>/ardour-root.png. Then Ctrl+S and Ctrl+Q: Ardour must quit by itself.
set -u
SESSION=$1; OUT=$2
fail() { echo "FAILED: $*"; import -window root "$OUT/ardour-root.png" 2>/dev/null; kill $PID 2>/dev/null; wait $PID 2>/dev/null; exit 1; }
ardour -n -a "$SESSION" > "$OUT/ardour-gui.log" 2>&1 &
PID=$!
W=""
for _ in $(seq 1 240); do # up to 60 s
  W=$(xdotool search --onlyvisible --name "^Zyk: " 2>/dev/null | head -1)
  [ -n "$W" ] && break
  kill -0 $PID 2>/dev/null || break
  sleep 0.25
done
[ -n "$W" ] || { tail -20 "$OUT/ardour-gui.log"; fail "no plug-in window (a dialog? see ardour-root.png)"; }
echo "plug-in window: $(xdotool getwindowname "$W")"
sleep 1.5
# X resource ids carry their client in the top bits (Xvfb: id >> 21).
EDITOR=""
for id in $(xwininfo -tree -id "$W" | awk '$1 ~ /^0x/ { print $1 }'); do
  [ $((id >> 21)) -ne $((W >> 21)) ] && { EDITOR=$id; break; }
done
[ -n "$EDITOR" ] || fail "the window shows Ardour's generic controls, not our editor"
import -window "$W" "$OUT/ardour-window.png"
import -window "$EDITOR" "$OUT/ardour-editor.png"
import -window root "$OUT/ardour-root.png"
SIZE=$(xwininfo -id "$EDITOR" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
echo "editor window $EDITOR: $SIZE"
# The size the editor reports on its first opening: its default.
[ "$SIZE" = "1024x576" ] || fail "the editor window is $SIZE, not 1024x576"
# The panel is drawn: the display glass (green-yellow) and dark panel around it.
LCD=$(convert "$OUT/ardour-editor.png" -crop 240x60+350+170 -resize 1x1\! -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:)
PANEL=$(convert "$OUT/ardour-editor.png" -crop 60x60+20+300 -resize 1x1\! -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:)
echo "display glass mean $LCD, panel mean $PANEL"
set -- $LCD
[ "$2" -gt 150 ] && [ "$2" -gt "$3" ] || fail "the display glass is not drawn ($LCD)"
set -- $PANEL
[ "$1" -lt 90 ] || fail "the panel is not drawn ($PANEL)"
M=$(xdotool search --onlyvisible --name " - Ardour$" | head -1)
[ -n "$M" ] || fail "no Ardour main window"
xdotool windowfocus --sync "$M" key ctrl+s
sleep 0.5
xdotool windowfocus --sync "$M" key ctrl+q
for _ in $(seq 1 120); do kill -0 $PID 2>/dev/null || break; sleep 0.25; done # up to 30 s
if kill -0 $PID 2>/dev/null; then fail "Ardour still runs 30 s after Ctrl+Q"; fi
wait $PID; RC=$?
[ $RC -eq 0 ] || { tail -20 "$OUT/ardour-gui.log"; echo "FAILED: Ardour exited with $RC"; exit 1; }
echo "Ardour saved and quit"
