#!/bin/sh
# with-xvfb.sh <command...>: runs the command on a private Xvfb (1920x1080x24; Xvfb picks a free
# display number through -displayfd), then stops that Xvfb and waits for it. The command finds
# the server's process id in ZYK_XVFB_PID (to read its memory). -noreset: by default the server
# resets when its last client leaves, and a test that connects in that moment is refused.
set -u
D=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$D/display" 2>"$D/xvfb.log" &
XPID=$!
for i in $(seq 1 200); do [ -s "$D/display" ] && break; kill -0 $XPID 2>/dev/null || break; sleep 0.05; done
if ! [ -s "$D/display" ]; then echo "Xvfb did not start"; cat "$D/xvfb.log"; kill $XPID 2>/dev/null; rm -rf "$D"; exit 1; fi
ZYK_XVFB_PID=$XPID DISPLAY=:$(head -1 "$D/display") "$@"
RC=$?
kill $XPID; wait $XPID 2>/dev/null
rm -rf "$D"
exit $RC
