#!/usr/bin/env bash
# Photographs the running application on a private virtual display with a
# window manager (twm) and a stand-alone tray (trayer): each panel, the tray
# menu and the settings dialog, in English and in Chinese. The settings
# dialog's four options are changed from the keyboard on the way, so the
# virtual unit's log shows the reconfiguration sequences.
#
#   scripts/docs-screenshots.sh [output-dir]      (default: docs/screenshots)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/docs/screenshots}")
"$root/scripts/install-deps.sh" --screenshot
"$root/scripts/build.sh"
bin="$root/build/bin"

scratch=$(mktemp -d)
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; rm -rf "$scratch"; }
trap cleanup EXIT
printf 'RandomPlacement\nNoGrabServer\n' > "$scratch/twmrc"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
sleep 1
twm -f "$scratch/twmrc" > /dev/null 2>&1 &
pids+=($!)
trayer --edge top --align right --widthtype pixel --width 80 --height 32 \
  --transparent false --tint 0x1b1e23 > /dev/null 2>&1 &
pids+=($!)
sleep 1

shoot() { sleep 1.5; import -window root "$1"; echo "  $1"; }

# The centre of the application's tray icon.
tray_icon() {
  xwininfo -root -tree | awk '/"QuorlinDriver": \("QuorlinDriver"/ {
    split($(NF-1), size, "x"); split($NF, at, "+");
    if (size[1] < 64) { print at[2] + size[1] / 2, at[3] + size[2] / 2; exit } }'
}

for language in en_US zh_CN; do
  dir="$out/${language%%_*}"
  mkdir -p "$dir"
  echo "$language:"
  export XDG_RUNTIME_DIR=$scratch/$language/runtime HOME=$scratch/$language/home
  export TMPDIR=$scratch/$language/tmp LANG=$language.UTF-8 LC_ALL=$language.UTF-8
  mkdir -p "$XDG_RUNTIME_DIR" "$HOME" "$TMPDIR"
  chmod 700 "$XDG_RUNTIME_DIR"

  mkfifo "$scratch/$language/console"
  "$bin/quorlin-virtual-unit" --model vt1 --quiet < "$scratch/$language/console" \
    > "$dir/unit-trace.log" 2>&1 &
  unit=$!
  pids+=($unit)
  exec 7> "$scratch/$language/console"
  "$bin/QuorlinDriver" > "$dir/panel.log" 2>&1 &
  panel=$!
  pids+=($panel)
  sleep 2

  read -r x y <<< "$(tray_icon)"
  xdotool mousemove "$x" "$y" click 3
  shoot "$dir/tray-menu.png"
  xdotool key Escape
  xdotool mousemove "$x" "$y" click 1
  shoot "$dir/vt1.png"
  for model in vt2 vr; do
    echo "unplug" >&7; sleep 1.5
    echo "model $model" >&7; echo "plug" >&7
    shoot "$dir/$model.png"
  done

  # Setup from the menu, then one step down in each option box.
  xdotool mousemove "$x" "$y" click 3
  sleep 0.5
  xdotool key Down Down Return
  sleep 1
  for option in buffer latency rate safe-mode; do
    xdotool key Down
    sleep 1
    xdotool key Tab
  done
  shoot "$dir/settings.png"

  exec 7>&-
  kill "$panel" "$unit" 2>/dev/null || true
  wait "$panel" "$unit" 2>/dev/null || true
done
echo "Saved under $out"
