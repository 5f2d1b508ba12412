#!/usr/bin/env bash
# Installs what is missing, builds, then starts a virtual VT2 unit and the
# control panel on the current display. The virtual unit stops with the panel.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --demo
"$root/scripts/build.sh"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  cat >&2 <<MSG
No display available (neither DISPLAY nor WAYLAND_DISPLAY is set), so the panel
cannot be shown. Run this from a desktop session, or under a virtual display:
  xvfb-run -a -s "-screen 0 1024x768x24" $0
MSG
  exit 1
fi

bin="$root/build/bin"
"$bin/quorlin-virtual-unit" --model vt2 --quiet < /dev/null &
unit=$!
trap 'kill "$unit" 2>/dev/null; wait "$unit" 2>/dev/null || true' EXIT

echo "Virtual VT2 unit running (pid $unit). Starting the panel: find it in the"
echo "system tray, or as a window where the desktop has no tray. Quit from the"
echo "tray menu, by closing the window (no tray), or with Ctrl+C."
"$bin/QuorlinDriver"
