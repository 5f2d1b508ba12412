#!/usr/bin/env bash
# Photographs the running application on a private virtual display with a
# window manager (twm) and a stand-alone tray (trayer), in English and in
# Chinese: the tray menu, the main window without a unit, each model's panel,
# the Presets submenu with its save dialog, and the settings dialog, each
# cropped to its window. The settings dialog's
# four options are changed from the keyboard on the way, so the virtual unit's
# trace shows the reconfiguration sequences.
#
#   scripts/docs-screenshots.sh [output-dir]      (default: docs/screenshots)
#
# Writes <output-dir>/{en,zh}/*.png, the unit's trace of the four option
# changes (<output-dir>/settings-trace.txt), and the full logs of the panel and
# the unit (<output-dir>/{en,zh}/*.log, not kept in git). Every step waits for the window it
# needs, with a deadline, and fails loudly when it does not come.
set -Eeuo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/docs/screenshots}")
"$root/scripts/install-deps.sh" --screenshot
"$root/scripts/build.sh"
source "$root/scripts/lib/desktop.sh"
bin="$root/build/bin"
session_wait_limit=30

session_start
trap 'echo "docs-screenshots: a command failed at line $LINENO" >&2' ERR

fail() {
  echo "docs-screenshots: $*" >&2
  exit 1
}

# twm places windows itself and draws their title bars, but not the tray's.
desktop_start "$session_dir/desktop" --twm 'NoTitle { "trayer" "panel" }' || exit 1
# A plain desktop colour behind the tray menu's picture (display sets it, yet
# ends with status 1 here), then the tray on top of it.
convert -size 8x8 xc:'#3b4252' "$session_dir/desktop.png"
display -window root "$session_dir/desktop.png" > /dev/null 2>&1 || true
desktop_start_tray --transparent true --alpha 0 || exit 1

# within <seconds> <command...>: polls the command for a few seconds.
within() {
  local end=$((SECONDS + $1))
  shift
  until "$@" > /dev/null 2>&1; do
    ((SECONDS < end)) || return 1
    sleep 0.2
  done
}
open_tray_menu() { tray_menu_open || fail "the tray menu did not open"; }

# shoot_window <title regex> <file>: the window itself, placed fully on screen.
shoot_window() {
  local id
  until_ok "window '$1'" visible_window "$1"
  id=$(visible_window "$1")
  xdotool windowmove "$id" 40 60
  until_ok "window '$1' at rest" window_steady "$id"
  sleep 0.5 # one more repaint of the live level readouts
  import -window "$id" "$2"
  echo "  $2"
}

for language in en_US zh_CN; do
  dir="$out/${language%%_*}"
  mkdir -p "$dir"
  echo "$language:"
  session_private_dirs "$session_dir/$language"
  export QT_FORCE_STDERR_LOGGING=1
  trace=$dir/unit-trace.log
  session_unit "$trace" "$bin/quorlin-virtual-unit" --model vt1 --quiet
  unit_say unplug
  LANG=$language.UTF-8 LC_ALL=$language.UTF-8 "$bin/QuorlinDriver" > "$dir/panel.log" 2>&1 &
  panel=$!
  session_track "$panel"
  until_ok "tray icon" tray_icon
  read -r x y h <<< "$(tray_icon)"

  # The tray menu, cropped to the menu and the tray above it.
  open_tray_menu
  menu=$(tray_menu)
  read -r mx my mw mh <<< "$(window_geometry "$menu")"
  read -r tx ty tw th <<< "$(window_geometry "$(xdotool search --onlyvisible --name '^panel$' | head -n 1)")"
  left=$((mx < tx ? mx : tx)) top=$((my < ty ? my : ty))
  right=$((mx + mw > tx + tw ? mx + mw : tx + tw)) bottom=$((my + mh > ty + th ? my + mh : ty + th))
  left=$((left > 8 ? left - 8 : 0)) top=$((top > 8 ? top - 8 : 0))
  import -window root -crop "$((right + 8 - left))x$((bottom + 8 - top))+$left+$top" +repage \
    "$dir/tray-menu.png"
  echo "  $dir/tray-menu.png"
  xdotool key Escape
  menu_closed() { ! tray_menu; }
  until_ok "tray menu to close" menu_closed

  # The main window from the tray icon: no unit yet, then each model.
  xdotool mousemove "$x" "$y" click 1
  until_ok "main window" visible_window '^Quorlin'
  until_ok "'not connected' detection" more_than "$dir/panel.log" "Device PID: 0" 0
  shoot_window '^Quorlin' "$dir/not-connected.png"
  found=0
  for model in vt1 vt2 vr; do
    unit_say "model $model"
    unit_say plug
    until_ok "$model panel" more_than "$dir/panel.log" "Device found with PID:" "$found"
    found=$((found + 1))
    title=$(echo "$model" | tr a-z A-Z)
    shoot_window "^Quorlin $title - FW: " "$dir/$model.png"
    if [[ $model != vr ]]; then
      cleared=$(line_count "$dir/panel.log" "Cleared all widgets from base layout.")
      unit_say unplug
      until_ok "$model unplugged" more_than "$dir/panel.log" \
        "Cleared all widgets from base layout." "$cleared"
    fi
  done

  # The Presets submenu of the tray menu for the VR with two presets of its
  # own, cropped to both menus; then its "Save current as…" dialog.
  presets="$HOME/.local/share/QuorlinDriver/presets/vr"
  mkdir -p "$presets"
  for preset in "Guitar DI:true:30" "Podcast:false:24"; do
    IFS=: read -r name direct gain <<< "$preset"
    printf '%s\n' '[Preset]' Model=vr Version=1 '[Button]' "MonitorMicIsChecked=$direct" \
      '[Dial]' "MicValue=$gain" > "$presets/$name.ini"
  done
  open_tray_menu
  xdotool key Up Right
  two_menus() { (($(tray_menus | wc -l) >= 2)); }
  until_ok "the Presets submenu" two_menus
  left=100000 top=100000 right=0 bottom=0
  for id in $(tray_menus); do
    window_steady "$id" || true
    read -r mx my mw mh <<< "$(window_geometry "$id")"
    ((mx < left)) && left=$mx
    ((my < top)) && top=$my
    ((mx + mw > right)) && right=$((mx + mw))
    ((my + mh > bottom)) && bottom=$((my + mh))
  done
  left=$((left > 8 ? left - 8 : 0)) top=$((top > 8 ? top - 8 : 0))
  import -window root -crop "$((right + 8 - left))x$((bottom + 8 - top))+$left+$top" +repage \
    "$dir/presets-menu.png"
  echo "  $dir/presets-menu.png"
  # Default, the two presets, then "Save current as…". The dialog is found
  # as the application's new window: a Chinese title does not match a
  # pattern in every locale.
  shown_before=$(xdotool search --onlyvisible --class '^QuorlinDriver$' 2> /dev/null | sort)
  xdotool key Down Down Down Return
  save_dialog() {
    local id
    for id in $(comm -13 <(echo "$shown_before") \
      <(xdotool search --onlyvisible --class '^QuorlinDriver$' 2> /dev/null | sort)); do
      [[ $(xdotool getwindowname "$id") == QuorlinDriver ]] || { echo "$id"; return 0; }
    done
    return 1
  }
  until_ok "the save dialog" save_dialog
  dialog=$(save_dialog)
  xdotool windowmove "$dialog" 40 60
  until_ok "the save dialog at rest" window_steady "$dialog"
  # The pointer decides the focus under twm: rest it on the dialog.
  xdotool mousemove --window "$dialog" 10 10
  [[ $language == zh_CN ]] && typed='晚上 录音' || typed='Evening take'
  xdotool type --delay 50 "$typed"
  sleep 0.5
  import -window "$dialog" "$dir/preset-save.png"
  echo "  $dir/preset-save.png"
  xdotool key Escape
  save_closed() { ! save_dialog; }
  until_ok "the save dialog to close" save_closed

  # Setup from the tray menu (the third entry: the version line is disabled),
  # then one step down in each option box, each change waited for in the trace.
  trace_start=$(wc -l < "$trace")
  opened=no
  for attempt in 1 2 3; do
    open_tray_menu
    xdotool key Down Down Return
    if within 10 visible_window '^Settings$'; then
      opened=yes
      break
    fi
    echo "  (attempt $attempt: Setup did not open the settings dialog)"
    xdotool key Escape
  done
  [[ $opened == yes ]] || fail "the settings dialog did not open from the tray menu"
  settings=$(visible_window '^Settings$')
  # The pointer decides the focus under twm: rest it on the dialog.
  xdotool mousemove --window "$settings" 10 10 || true
  xdotool windowfocus "$settings" 2> /dev/null || true
  for operation in SetBufferSize SetUsbLatency SetSampleRate UsbSlowMode; do
    before=$(line_count "$trace" "$operation")
    xdotool key Down
    until_ok "$operation in the unit's trace" more_than "$trace" "$operation" "$before"
    xdotool key Tab
  done
  # The sample rate change ends with the OTG chip's power cycle.
  otg_cycled() { tail -n +"$((trace_start + 1))" "$trace" | grep -q SetOtgOn; }
  until_ok "OTG power cycle" otg_cycled
  shoot_window '^Settings$' "$dir/settings.png"
  # The unit's side of the four changes (the same in both languages).
  if [[ $language == en_US ]]; then
    tail -n +"$((trace_start + 1))" "$trace" > "$out/settings-trace.txt"
    echo "  $out/settings-trace.txt"
  fi

  unit_close
  session_end "$panel"
  session_end "$unit_pid"
done
echo "Saved under $out"
