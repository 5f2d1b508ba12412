#!/usr/bin/env bash
# For atspi_check.py, which starts the panel: the shared private desktop, a
# session bus, the accessibility bus and a virtual VT2, in a private home.
#   desktop_a11y.sh <QuorlinDriver> <quorlin-virtual-unit>
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/desktop.sh"
panel_exe=$(realpath "$1") unit_exe=$(realpath "$2") bus=/usr/libexec/at-spi-bus-launcher
for tool in dbus-launch xdotool "$bus"; do
  command -v "$tool" > /dev/null || { echo "FAIL: $tool missing (scripts/install-deps.sh --test)" >&2; exit 1; }
done

scratch=$(mktemp -d)
cleanup() {
  local status=$?
  [[ -z ${DBUS_SESSION_BUS_PID:-} ]] || kill "$DBUS_SESSION_BUS_PID" 2> /dev/null || true
  desktop_stop
  ((status == 0)) || tail -n 30 "$scratch"/*.log >&2 || true
  rm -rf "$scratch"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

export HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/runtime TMPDIR=$scratch/tmp
mkdir -p "$HOME" "$TMPDIR" && mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS
desktop_start "$scratch/desktop"
eval "$(dbus-launch --sh-syntax)"
_desktop_launch "the accessibility bus" "$scratch/atspi.log" "$bus" --launch-immediately

# The unit's console: a fifo held open here for reading and writing never ends.
mkfifo "$scratch/console"
exec 7<> "$scratch/console"
_desktop_launch "the virtual unit" "$scratch/unit.log" "$unit_exe" --model vt2 --quiet \
  < "$scratch/console"
/usr/bin/python3 "$(dirname "$0")/atspi_check.py" "$panel_exe" "$scratch/unit.log" \
  "$HOME/.local/share/QuorlinDriver" "$scratch/panel.log"
