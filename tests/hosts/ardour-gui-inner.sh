#!/bin/sh
# ardour-gui-inner.sh <session.ardour> <out-dir>   (needs DISPLAY: a private Xvfb)
# Starts Ardour's GUI on a session whose instrument window is marked open and checks that the
# window holds our editor: a child window made by another X client than Ardour's (Ardour's
# generic controls are all its own windows), at the size the editor reports, with the panel
# drawn. Screenshots: <out>/ardour-window.png (host toolbar and editor), <out>/ardour-editor.png
# (the editor alone), <out>/ardour-root.png. Then Ctrl+S and Ctrl+Q: Ardour must quit by itself.
# In between (keys_stay_quiet, smallest_size_shows_the_whole_panel): keys the panel does not use
# leave Ardour near idle, and the smallest editor Ardour makes room for shows the whole panel
# (<out>/ardour-editor-small.png).
set -u
SESSION=$1; OUT=$2
fail() { echo "FAILED: $*"; import -window root "$OUT/ardour-root.png" 2>/dev/null; kill $PID 2>/dev/null; wait $PID 2>/dev/null; exit 1; }
. "$(dirname "$0")/ardour-open-editor.sh"
open_editor "$SESSION" "$OUT/ardour-gui.log"
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

# --- Keys and sizes of the editor window --------------------------------------------------------
# Ardour's CPU time (user + system) in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$PID/stat"; }
# Percent of one core Ardour used over $1 seconds.
cpu_percent() {
  t0=$(cpu_ticks); sleep "$1"; t1=$(cpu_ticks)
  echo $(( (t1 - t0) * 100 / ($1 * $(getconf CLK_TCK)) ))
}

# Ardour hands key events from the plug-in window back into it; keys the panel leaves alone
# must not travel back and forth. A benchmark-like figure: fail only far above idle.
keys_stay_quiet() {
  IDLE=$(cpu_percent 3)
  eval "$(xdotool getwindowgeometry --shell "$EDITOR")"
  xdotool mousemove $((X + 20)) $((Y + 300)) click 1 # a bare part of the panel takes the keys
  sleep 0.3
  xdotool key --delay 100 x P z Escape
  sleep 1
  BUSY=$(cpu_percent 4)
  echo "Ardour CPU: ${IDLE}% of a core idle, ${BUSY}% after unhandled keys"
  [ "$BUSY" -le 20 ] || fail "Ardour busy after unhandled keys: ${BUSY}% of a core (idle ${IDLE}%)"
}

# The panel's grip dragged to the origin asks for the smallest editor (640x360); a host window of
# 640x360 then gives the view less height than that (640x326 in Ardour 7.3). Whatever it gives, the whole panel shows:
# 16:9 at the window's height, black beside it.
smallest_size_shows_the_whole_panel() {
  eval "$(xdotool getwindowgeometry --shell "$EDITOR")"
  xdotool mousemove $((X + WIDTH - 8)) $((Y + HEIGHT - 8)) mousedown 1
  for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((X + (WIDTH - 8) * (8 - step) / 8)) $((Y + (HEIGHT - 8) * (8 - step) / 8)); sleep 0.1
  done
  xdotool mouseup 1
  sleep 1.5
  # Then the host's window is made 640x360 in all (no window manager keeps it from shrinking
  # below its first size): Ardour's toolbar takes its part of the height from the view.
  xdotool windowsize "$W" 640 360
  sleep 1.5
  SMALL=$(xwininfo -id "$EDITOR" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w " " h }')
  set -- $SMALL; SW=$1; SH=$2
  echo "smallest editor window: ${SW}x${SH}"
  import -window "$EDITOR" "$OUT/ardour-editor-small.png"
  import -window "$W" "$OUT/ardour-window-small.png"
  PW=$(( (SH * 16 + 8) / 9 )); [ "$PW" -gt "$SW" ] && PW=$SW
  # The panel's bottom strip is drawn (not black) across the panel's width.
  BOTTOM=$(convert "$OUT/ardour-editor-small.png" -crop $((PW - 20))x6+10+$((SH - 8)) -resize 1x1\! -format '%[fx:int(255*(r+g+b)/3)]' info:)
  echo "panel ${PW}x${SH}, bottom strip brightness $BOTTOM"
  [ "$BOTTOM" -gt 8 ] || fail "the panel's bottom is cut off at ${SW}x${SH}"
  if [ $((SW - PW)) -gt 4 ]; then
    BESIDE=$(convert "$OUT/ardour-editor-small.png" -crop $((SW - PW - 2))x$((SH - 4))+$((PW + 2))+2 -resize 1x1\! -format '%[fx:int(255*(r+g+b)/3)]' info:)
    [ "$BESIDE" -lt 4 ] || fail "the space beside the panel is not filled ($BESIDE)"
  fi
}

keys_stay_quiet
smallest_size_shows_the_whole_panel
# -------------------------------------------------------------------------------------------------

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
