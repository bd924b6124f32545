#!/bin/sh
# Translates as a user would, under Xvfb with real key presses: examples/strings.txr with its
# .txl lacking the last entry, Ctrl+T, Ctrl+Return twice (to the entry still missing), the
# translation typed, Ctrl+Return, Ctrl+S. The saved .txl must then be the example's own, byte
# for byte, and the .txr unchanged. Needs xvfb, xauth, xdotool and ImageMagick's import.
#   sh scripts/translate-by-keys.sh [BUILD_DIR]   (a screenshot is left in the work folder)
set -e
cd "$(dirname "$0")/.."
BUILD=$(cd "${1:-build}" && pwd)
ROOT=$(pwd)
WORK=$(mktemp -d)
mkdir -p "$WORK/home"
cp examples/strings.txr "$WORK/"
head -n 13 examples/strings.txl > "$WORK/strings.txl"  # entry 8 missing
cat > "$WORK/keys.sh" <<KEYS
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
"$BUILD/app/quillmere" "$WORK/strings.txr" "$WORK/strings.txl" & P=\$!
W=\$(xdotool search --sync --onlyvisible --name Quillmere | head -1)
xdotool windowsize \$W 1000 640; xdotool windowmove \$W 0 0; sleep 0.5
xdotool windowfocus --sync \$W; sleep 0.8
xdotool key ctrl+t; sleep 0.5
xdotool key ctrl+Return; sleep 0.3
xdotool key ctrl+Return; sleep 0.3
xdotool key ctrl+a; xdotool type --delay 30 Quitter; sleep 0.3
xdotool key ctrl+Return; sleep 0.3
xdotool key ctrl+s; sleep 0.8
import -window root -crop 1000x640+0+0 "$WORK/saved.png"
kill \$P
KEYS
xvfb-run -a -s "-screen 0 1280x900x24 -nolisten tcp" sh "$WORK/keys.sh" 2>/dev/null
cmp "$WORK/strings.txl" "$ROOT/examples/strings.txl"
cmp "$WORK/strings.txr" "$ROOT/examples/strings.txr"
echo "translated by keys: the .txl has the entry, nothing else changed ($WORK/saved.png)"
