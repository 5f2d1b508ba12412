#!/usr/bin/env bash
# The desktop a screen reader needs, for atspi_check.py: a private X display
# (Xvfb), a session bus (dbus-launch), the accessibility bus (at-spi2-core),
# and a virtual VT2 fed from a console fifo; in a private home, runtime and
# temporary directory. atspi_check.py starts the real panel itself.
#
#   desktop_a11y.sh <QuorlinDriver> <quorlin-virtual-unit>
set -euo pipefail

panel_exe=$(realpath "$1")
unit_exe=$(realpath "$2")
bus_launcher=/usr/libexec/at-spi-bus-launcher
python=/usr/bin/python3
[[ -x $python ]] || python=python3

missing=()
for tool in Xvfb dbus-launch xdotool "$bus_launcher"; do
  command -v "$tool" > /dev/null || missing+=("$tool")
done
"$python" -c 'import pyatspi' 2> /dev/null || missing+=(pyatspi)
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "FAIL: missing ${missing[*]} (scripts/install-deps.sh --test installs" \
    "xvfb dbus-x11 at-spi2-core python3-pyatspi xdotool)" >&2
  exit 1
fi

scratch=$(mktemp -d)
pids=()
console_open=no
cleanup() {
  local status=$? i
  if [[ $console_open == yes ]]; then exec 7>&-; fi
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2> /dev/null || true; done
  wait 2> /dev/null || true
  if ((status != 0)); then
    for file in "$scratch"/*.log; do
      [[ -f $file ]] && { echo "----- $(basename "$file") (last 30 lines)" >&2; tail -n 30 "$file" >&2; }
    done
  fi
  rm -rf "$scratch"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

export HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/runtime TMPDIR=$scratch/tmp
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS

Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5> "$scratch/display" \
  > "$scratch/xvfb.log" 2>&1 &
pids+=($!)
for ((i = 0; i < 200; i++)); do
  [[ $(cat "$scratch/display") == *[0-9]* ]] && break
  sleep 0.1
done
[[ $(cat "$scratch/display") == *[0-9]* ]] || { echo "FAIL: no virtual display" >&2; exit 1; }
export DISPLAY=:$(tr -dc 0-9 < "$scratch/display")

eval "$(dbus-launch --sh-syntax)"
pids+=("$DBUS_SESSION_BUS_PID")
"$bus_launcher" --launch-immediately > "$scratch/atspi.log" 2>&1 &
pids+=($!)

mkfifo "$scratch/console"
"$unit_exe" --model vt2 --quiet < "$scratch/console" > "$scratch/unit.log" 2>&1 &
pids+=($!)
exec 7> "$scratch/console"
console_open=yes

"$python" "$(dirname "$0")/atspi_check.py" "$panel_exe" "$scratch/console" "$scratch/unit.log" \
  "$HOME/.local/share/QuorlinDriver" "$scratch/panel.log"
