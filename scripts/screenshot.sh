#!/usr/bin/env bash
# Builds, then photographs the panel finding a virtual unit on a private
# virtual display: screenshot.sh [model] [output.png]  (model: vt1, vt2, vr)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
model=${1:-vt2}
output=$(realpath -m "${2:-$root/build/screenshot-$model.png}")
"$root/scripts/install-deps.sh" --screenshot
"$root/scripts/build.sh"

scratch=$(mktemp -d)
export XDG_RUNTIME_DIR=$scratch/runtime HOME=$scratch/home TMPDIR=$scratch/tmp
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" "$TMPDIR"
chmod 700 "$XDG_RUNTIME_DIR"
# twm places windows itself and draws their title bars.
printf 'RandomPlacement\nNoGrabServer\n' > "$scratch/twmrc"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp > "$scratch/xvfb.log" 2>&1 &
pids=($!)
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$scratch"' EXIT
export DISPLAY=$display
sleep 1
twm -f "$scratch/twmrc" > /dev/null 2>&1 &
pids+=($!)
"$root/build/bin/quorlin-virtual-unit" --model "$model" --quiet < /dev/null > "$scratch/unit.log" 2>&1 &
pids+=($!)
sleep 0.5
"$root/build/bin/QuorlinDriver" > "$scratch/panel.log" 2>&1 &
pids+=($!)
sleep 4
import -window root "$output"
xwininfo -root -tree | grep -o '"Quorlin [^"]*"' || true
echo "Saved $output"
