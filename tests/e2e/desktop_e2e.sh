#!/usr/bin/env bash
# End to end on a desktop: the real QuorlinDriver and quorlin-virtual-unit
# executables as separate processes, on a private virtual display with a
# window manager (twm) and a notification area (trayer), with a private home,
# runtime and temporary directory. Checks what a person would see:
#
#   - the tray icon appears and no window opens; a second start ends at once
#     with exit code 0 and leaves the first running;
#   - the main window, opened from the tray, says the unit is missing, then
#     finds a VT1, a VT2 and a VR as the virtual unit is re-plugged as each
#     model, each with its title and its settings file;
#   - an unplug takes the panel away and the window is back to its
#     "not connected" content;
#   - the ASIO driver's open-window message brings up the settings dialog;
#   - the Chinese and the English translation load for zh_CN and en_US, and
#     a new start after a normal exit succeeds.
#
#   desktop_e2e.sh <QuorlinDriver> <quorlin-virtual-unit>
#
# Every wait polls against a deadline; every process started here is stopped
# on the way out, also when a check fails.
set -euo pipefail

panel_exe=$(realpath "$1")
unit_exe=$(realpath "$2")
wait_limit=40 # seconds for any one thing to happen; generous for slow machines

missing=()
for tool in Xvfb twm trayer xdotool xwininfo; do
  command -v "$tool" > /dev/null || missing+=("$tool")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "FAIL: missing ${missing[*]} (scripts/install-deps.sh --test installs" \
    "xvfb twm trayer xdotool x11-utils)" >&2
  exit 1
fi

scratch=$(mktemp -d)
pids=()
console_open=no
panel=""

log() { echo "[$(date +%T)] $*"; }

dump_logs() {
  for file in "$scratch"/*.log; do
    [[ -f "$file" ]] || continue
    echo "----- $(basename "$file") (last 40 lines)" >&2
    tail -n 40 "$file" >&2
  done
}

fail() {
  echo "FAIL: $*" >&2
  dump_logs
  exit 1
}

stop_process() {
  local pid=$1
  kill -0 "$pid" 2> /dev/null || return 0
  kill -TERM "$pid" 2> /dev/null || true
  local end=$((SECONDS + 10))
  while kill -0 "$pid" 2> /dev/null && ((SECONDS < end)); do sleep 0.1; done
  kill -KILL "$pid" 2> /dev/null || true
}

cleanup() {
  local status=$?
  if [[ $console_open == yes ]]; then exec 7>&-; fi
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop_process "${pids[$i]}"; done
  wait 2> /dev/null || true
  rm -rf "$scratch"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# until_ok <what> <command...>: polls the command until it succeeds.
until_ok() {
  local what=$1
  shift
  local end=$((SECONDS + wait_limit))
  until "$@" > /dev/null; do
    ((SECONDS < end)) || fail "no $what within ${wait_limit} s"
    if [[ -n $panel ]] && ! kill -0 "$panel" 2> /dev/null; then
      fail "the panel ended while waiting for $what"
    fi
    sleep 0.2
  done
}

count() { grep -cF -- "$2" "$1" 2> /dev/null || true; }
more_than() { (($(count "$1" "$2") > $3)); }
has_line() { grep -qF -- "$2" "$1" 2> /dev/null; }

# --- the desktop --------------------------------------------------------------
export HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/runtime TMPDIR=$scratch/tmp
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS
export QT_FORCE_STDERR_LOGGING=1

# Xvfb picks a free display itself and reports it once it accepts clients.
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5> "$scratch/display" \
  > "$scratch/xvfb.log" 2>&1 &
pids+=($!)
display_ready() { [[ $(cat "$scratch/display" 2> /dev/null) == *[0-9]* ]]; }
until_ok "virtual display" display_ready
export DISPLAY=:$(tr -dc 0-9 < "$scratch/display")
log "display $DISPLAY"

printf 'RandomPlacement\nNoGrabServer\n' > "$scratch/twmrc"
twm -f "$scratch/twmrc" > "$scratch/twm.log" 2>&1 &
pids+=($!)
trayer --edge top --align right --widthtype pixel --width 80 --height 32 \
  --transparent false --tint 0x1b1e23 > "$scratch/trayer.log" 2>&1 &
pids+=($!)
tray_ready() { xwininfo -root -tree 2> /dev/null | grep -q '("panel" "trayer")'; }
until_ok "notification area (trayer)" tray_ready

# --- helpers on the application's windows --------------------------------------
# The centre of the application's tray icon, an embedded window smaller than 64 px.
tray_icon_position() {
  xwininfo -root -tree 2> /dev/null | awk '/"QuorlinDriver": \("QuorlinDriver"/ {
    split($(NF-1), size, "x"); split($NF, at, "+");
    if (size[1] < 64) { print int(at[2] + size[1] / 2), int(at[3] + size[2] / 2); found = 1; exit } }
    END { exit !found }'
}
visible_window() { xdotool search --onlyvisible --name "$1" 2> /dev/null | head -n 1 | grep .; }
window_size() {
  local id
  id=$(visible_window "$1") || return 1
  xdotool getwindowgeometry --shell "$id" | awk -F= '/^WIDTH/ { w = $2 } /^HEIGHT/ { h = $2 }
    END { print w "x" h }'
}

start_panel() { # <language> <log>
  LANG=$1.UTF-8 LC_ALL=$1.UTF-8 "$panel_exe" > "$2" 2>&1 &
  panel=$!
  pids+=($panel)
}

stop_panel_expecting_success() {
  kill -TERM "$panel"
  local status=0 end=$((SECONDS + wait_limit))
  while kill -0 "$panel" 2> /dev/null; do
    ((SECONDS < end)) || fail "the panel did not end within ${wait_limit} s of SIGTERM"
    sleep 0.1
  done
  wait "$panel" || status=$?
  ((status == 0)) || fail "the panel ended with exit code $status after SIGTERM, expected 0"
  panel=""
}

data_dir=$HOME/.local/share/QuorlinDriver

# --- the virtual unit ----------------------------------------------------------
mkfifo "$scratch/console"
"$unit_exe" --model vt1 --quiet < "$scratch/console" > "$scratch/unit.log" 2>&1 &
pids+=($!)
exec 7> "$scratch/console"
console_open=yes
say() { echo "$*" >&7; }
say unplug

# --- first run, in Chinese -----------------------------------------------------
panel_log=$scratch/panel-zh_CN.log
start_panel zh_CN "$panel_log"
log "panel started (zh_CN)"
until_ok "tray icon" tray_icon_position
has_line "$panel_log" "成功加载翻译文件：$(dirname "$panel_exe")/QuorlinDriver_zh_CN.qm" \
  || fail "the zh_CN locale did not load QuorlinDriver_zh_CN.qm"
if visible_window '^Quorlin' > /dev/null; then
  fail "a window opened at start; only the tray icon should show"
fi

# A second start ends at once with exit code 0 and leaves the first running.
second=0
LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 timeout "$wait_limit" "$panel_exe" \
  > "$scratch/second-start.log" 2>&1 || second=$?
((second == 0)) || fail "a second start ended with exit code $second, expected 0"
has_line "$scratch/second-start.log" "Quorlin Mixer 已经在运行中。" \
  || fail "the second start did not say the panel is already running"
kill -0 "$panel" 2> /dev/null || fail "the first instance ended after the second start"
log "second start refused with exit code 0"

# The tray icon opens the main window; with the unit unplugged it says so.
open_main_window() {
  local x y
  read -r x y <<< "$(tray_icon_position)" || return 1
  xdotool mousemove "$x" "$y" click 1
  local end=$((SECONDS + 3))
  while ((SECONDS < end)); do
    visible_window '^Quorlin' > /dev/null && return 0
    sleep 0.2
  done
  return 1
}
until_ok "main window after clicking the tray icon" open_main_window
until_ok "detection of the unplugged unit" more_than "$panel_log" "Device PID: 0" 0
sleep_until_size_settles() { # the window may still be resizing after the click
  local a b
  a=$(window_size '^Quorlin') || return 1
  sleep 0.3
  b=$(window_size '^Quorlin') || return 1
  [[ $a == "$b" ]]
}
until_ok "a steady main window" sleep_until_size_settles
not_connected_size=$(window_size '^Quorlin')
log "main window open, not connected: $not_connected_size"

# Each model in turn: plug, check title, settings file and window; then unplug
# and check that the window is back to its "not connected" content.
found=0
cleared=0
check_model() { # <console model> <product id> <title name> <ini file>
  say "model $1"
  say plug
  until_ok "'Device found with PID: $2'" more_than "$panel_log" "Device found with PID:" "$found"
  found=$((found + 1))
  local last
  last=$(grep -F "Device found with PID:" "$panel_log" | tail -n 1)
  [[ $last == "Device found with PID: $2" ]] || fail "expected 'Device found with PID: $2', got '$last'"
  until_ok "window titled 'Quorlin $3 - FW: …'" visible_window "^Quorlin $3 - FW: "
  [[ -s "$data_dir/$4" ]] || fail "no settings file $data_dir/$4 after the $3 panel was built"
  local size
  size=$(window_size "^Quorlin $3 - FW: ")
  [[ $size != "$not_connected_size" ]] || fail "the $3 panel did not change the window's size"
  log "$3 found: title '$(xdotool getwindowname "$(visible_window "^Quorlin $3")")'," \
    "window $size, $4 written"

  say unplug
  until_ok "'Cleared all widgets from base layout.'" \
    more_than "$panel_log" "Cleared all widgets from base layout." "$cleared"
  cleared=$((cleared + 1))
  window_back() { [[ $(window_size '^Quorlin') == "$not_connected_size" ]]; }
  until_ok "the window's 'not connected' content after unplugging the $3" window_back
  log "$3 unplugged: window back to $not_connected_size"
}
check_model vt1 1 VT1 vt1.ini
check_model vt2 2 VT2 vt2.ini
say "model vr"
say plug
until_ok "'Device found with PID: 15'" more_than "$panel_log" "Device found with PID: 15" 0
until_ok "window titled 'Quorlin VR - FW: …'" visible_window "^Quorlin VR - FW: "
[[ -s "$data_dir/vr.ini" ]] || fail "no settings file $data_dir/vr.ini after the VR panel was built"
log "VR found, vr.ini written"

# The ASIO driver asks for the settings dialog.
if visible_window '^Settings$' > /dev/null; then
  fail "the settings dialog was showing before the open-window message"
fi
say "asio open-window"
until_ok "settings dialog after the open-window message" visible_window '^Settings$'
log "open-window message brought up the settings dialog"

stop_panel_expecting_success
log "panel ended with exit code 0"

# --- second run, in English: a new start after a normal exit ---------------------
panel_log=$scratch/panel-en_US.log
start_panel en_US "$panel_log"
until_ok "'Device found with PID: 15' in English" more_than "$panel_log" "Device found with PID: 15" 0
has_line "$panel_log" "成功加载翻译文件：$(dirname "$panel_exe")/QuorlinDriver_en_US.qm" \
  || fail "the en_US locale did not load QuorlinDriver_en_US.qm"
until_ok "tray icon in English" tray_icon_position
stop_panel_expecting_success
log "en_US: QuorlinDriver_en_US.qm loaded, VR found, ended with exit code 0"
echo "PASS"
