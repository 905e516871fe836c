#!/bin/sh
# embed-test.sh <zyk_embedhost> <Zyk.so> <script> <workdir>
# Runs the embedding host's script on a private Xvfb. A fake xdg-open first in PATH writes a
# marker instead of opening a browser, so the script can tell whether a web page was opened;
# HOME is the work directory, so nothing the editor might write lands elsewhere.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
HOST=$1; MODULE=$2; SCRIPT=$3; WORK=$4
rm -rf "$WORK"; mkdir -p "$WORK/bin" "$WORK/home" "$WORK/shots"
cat > "$WORK/bin/xdg-open" <<FAKE
#!/bin/sh
echo "\$@" >> "$WORK/xdg-open.marker"
FAKE
chmod +x "$WORK/bin/xdg-open"
export PATH="$WORK/bin:$PATH" HOME="$WORK/home" ZYK_WORK="$WORK"
sed "s|@WORK@|$WORK|g" "$SCRIPT" > "$WORK/script"
exec sh "$HERE/../hosts/with-xvfb.sh" "$HOST" "$MODULE" "$WORK/script" "$WORK/shots"
