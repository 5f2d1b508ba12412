#!/usr/bin/env bash
# The real QuorlinDriver and quorlin-virtual-unit on a private desktop
# (scripts/lib/desktop.sh): first, without a tray, the panel as a screen reader
# meets it (atspi_check.py); then, with a tray, the icon alone at start in
# zh_CN, the window from the tray finding a unit (title, size), a preset from
# the tray menu, an unplug, closing the window, SIGTERM.
#
#   desktop_e2e.sh <QuorlinDriver> <quorlin-virtual-unit>
set -euo pipefail

panel_exe=$(realpath "$1")
unit_exe=$(realpath "$2")
qm_dir=$(dirname "$panel_exe")
source "$(dirname "$(realpath "$0")")/../support/desktop_test.sh"
session_wait_limit=40 # seconds for any one thing to happen; generous for slow machines
atspi_bus=/usr/libexec/at-spi-bus-launcher
for tool in xdotool dbus-launch "$atspi_bus"; do
  command -v "$tool" > /dev/null || { echo "FAIL: $tool missing (scripts/install-deps.sh --test)" >&2; exit 1; }
done

session_start
session_private_dirs "$session_dir"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS
export QT_FORCE_STDERR_LOGGING=1
desktop_start "$session_dir/desktop" --twm '"F4" = m : window : f.delete' || fail "no desktop"
eval "$(dbus-launch --sh-syntax)"
session_track "$DBUS_SESSION_BUS_PID"
desktop_add "the accessibility bus" "$session_dir/atspi.log" "$atspi_bus" --launch-immediately
log "desktop on $DISPLAY"

window_size() { window_geometry "$(visible_window "$1")" | cut -d' ' -f3-; }

session_unit "$session_dir/unit.log" "$unit_exe" --model vt2 --quiet

/usr/bin/python3 "$(dirname "$(realpath "$0")")/atspi_check.py" "$panel_exe" "$session_dir/unit.log" \
  "$HOME/.local/share/QuorlinDriver" "$session_dir/panel-a11y.log" || fail "the screen reader's view"
log "read, set and stepped through AT-SPI"

unit_say unplug
desktop_start_tray || fail "no notification area"
panel_log=$session_dir/panel-zh_CN.log
LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 "$panel_exe" > "$panel_log" 2>&1 &
panel=$!
session_track "$panel"
until_ok "tray icon" tray_icon
grep -qF "成功加载翻译文件：$qm_dir/QuorlinDriver_zh_CN.qm" "$panel_log" || fail "zh_CN not loaded"
! visible_window '^Quorlin' > /dev/null || fail "a window opened at start; only the tray icon should show"
log "tray icon only"

until_ok "main window after clicking the tray icon" click_for_window tray_icon ^Quorlin
until_ok "detection of the unplugged unit" more_than "$panel_log" "Device PID: 0" 0
until_ok "a steady main window" window_steady "$(visible_window '^Quorlin')"
not_connected=$(window_size '^Quorlin')
log "main window from the tray: not connected, $not_connected"

# A unit plugged: its titled panel in a window of its own size.
unit_say "model vt1"
unit_say plug
until_ok "window titled 'Quorlin VT1 - FW: …'" visible_window "^Quorlin VT1 - FW: "
[[ $(window_size "^Quorlin VT1 - FW: ") != "$not_connected" ]] \
  || fail "the VT1 panel did not change the window's size"

# A preset from the tray menu ("Presets", the entry after the built-in one):
# the unit receives the two inputs that differ, the switch first, nothing else.
presets=$HOME/.local/share/QuorlinDriver/presets/vt1
mkdir -p "$presets"
printf '%s\n' '[Preset]' Model=vt1 Version=1 '[Button]' MicInstrIsChecked=false \
  Mic20dBIsChecked=true Mic48VIsChecked=false MonitorMicIsChecked=false '[Dial]' MicValue=21 \
  OtgToHpValue=0 > "$presets/Evening.ini"
mark=$(wc -l < "$session_dir/unit.log")
tray_menu_open || fail "the tray menu did not open"
xdotool key Up Right Down Return
# What a panel control sends (the start-up's OTG power cycle may still end now).
changes() {
  tail -n +"$((mark + 1))" "$session_dir/unit.log" | grep -E '^(SetMic|SwitchMic|WriteMixer)' || true
}
recalled() { [[ $(changes | wc -l) -ge 2 ]]; }
until_ok "the preset's changes in the unit's trace" recalled
sleep 1 # anything more would come now
[[ $(changes) == $'SetMic20dB channel=1 state=1\nSetMicVolume channel=1 value=42' ]] \
  || fail "the recall sent: $(changes | tr '\n' '|')"
log "a preset recalled from the tray menu"
unit_say unplug
window_back() { [[ $(window_size '^Quorlin') == "$not_connected" ]]; }
until_ok "the 'not connected' window after the unplug" window_back
log "VT1 found and unplugged"

# Closing the window (Alt+F4, twm's f.delete) leaves the panel in the tray.
xdotool mousemove --window "$(visible_window '^Quorlin')" 20 20 key alt+F4
window_gone() { ! visible_window '^Quorlin'; }
until_ok "the main window to close" window_gone
tray_icon > /dev/null || fail "the tray icon went with the window"
log "the closed window went back to the tray"

kill -TERM "$panel"
panel_ends SIGTERM
echo "PASS"
