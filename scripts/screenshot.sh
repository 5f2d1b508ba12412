#!/usr/bin/env bash
# Builds, then photographs the panel finding a virtual unit on a private
# desktop without a tray, where the window opens at start:
#
#   screenshot.sh [model] [output.png]  (model: vt1, vt2, vr)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
model=${1:-vt2}
output=$(realpath -m "${2:-$root/build/screenshot-$model.png}")
"$root/scripts/install-deps.sh" --screenshot
"$root/scripts/build.sh"
source "$root/scripts/lib/desktop.sh"
session_wait_limit=30

session_start
session_private_dirs "$session_dir"
desktop_start "$session_dir/desktop" --size 1024x768 || exit 1

session_unit "$session_dir/unit.log" "$root/build/bin/quorlin-virtual-unit" --model "$model" --quiet
"$root/build/bin/QuorlinDriver" > "$session_dir/panel.log" 2>&1 &
panel=$!
session_track "$panel"

fail() {
  echo "screenshot: $*; the panel's log:" >&2
  cat "$session_dir/panel.log" >&2
  exit 1
}
until_ok_check() { kill -0 "$panel" 2> /dev/null || fail "the panel ended"; }

# The model's window, at rest.
title="^Quorlin $(tr a-z A-Z <<< "$model") - FW: "
until_ok "window titled '${title#^}…'" visible_window "$title"
window=$(visible_window "$title")
until_ok "window '${title#^}…' at rest" window_steady "$window"
import -window root "$output"
echo "Saved $output ($(xdotool getwindowname "$window"))"
