#!/usr/bin/env bash
# The Windows program (scripts/windows-build.sh) under Wine, in a prefix of its
# own on a private desktop, with no unit: its setup program and uninstaller,
# the tray, the log file, a second start, quorlinctl.exe, the ASIO driver's
# two pipes (asio_driver_stand_in), Quit, and the Chinese translation.
#   windows_app.sh <work-dir> [--screenshots <dir>]
# <work-dir> is windows-build.sh's build directory; --screenshots saves the
# windows and the tray menu in English and Chinese.
set -euo pipefail
root=$(realpath "$(dirname "$(realpath "$0")")/../..")
work=$(realpath -m "$1")
shots=""
[[ ${2:-} != --screenshots ]] || { shots=$(realpath -m "$3") && mkdir -p "$shots"; }
source "$root/tests/support/desktop_test.sh"
session_wait_limit=60 # Wine is slow to start a program the first time

log "building (scripts/windows-build.sh $work)"
mkdir -p "$work"
setup=$("$root/scripts/windows-build.sh" "$work" 2> "$work/windows-build.log" | tail -n 1) \
  || { tail -n 40 "$work/windows-build.log" >&2; fail "the Windows build failed"; }
stand_in=$work/product/tests/windows/asio_driver_stand_in.exe
[[ -f $setup && -f $stand_in ]] || fail "no setup program ($setup) or stand-in ($stand_in)"
log "setup program $setup ($(($(stat -c %s "$setup") / 1024)) kB)"

session_start
# Wine's processes end with the session, before its directories go.
trap 'status=$?; wineserver -k > /dev/null 2>&1 || true; (exit $status); _session_exit' EXIT
session_private_dirs "$session_dir"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS LANGUAGE
export LC_ALL=C.UTF-8
# No Mono or Gecko: making the prefix neither asks for them nor fetches them.
export WINEPREFIX=$session_dir/wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
desktop_start "$session_dir/desktop" --tray || fail "no desktop"
# One Wine server throughout: a new one would run wineboot, which starts the
# installed panel from the Run key.
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot -i > "$session_dir/wineboot.log" 2>&1 || fail "wineboot could not make the prefix"
log "Wine prefix ready on $DISPLAY"

winpath() { echo "Z:${1//\//\\}"; } # Wine's Z: drive is /
drive_c=$WINEPREFIX/drive_c
install_dir="$drive_c/Program Files/Quorlin/QuorlinDriver"
win_install_dir='C:\Program Files\Quorlin\QuorlinDriver'
start_menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quorlin"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
registry_has() { wine reg query "$1" /v "$2" > /dev/null 2>&1; }

# --- installation ---
wine "$setup" /S > "$session_dir/setup.log" 2>&1 || fail "the setup program failed"
installed() { [[ -f $install_dir/QuorlinDriver.exe && -f $install_dir/Uninstall.exe ]]; }
until_ok "the installed program" installed
for file in QuorlinDriver_en_US.qm QuorlinDriver_zh_CN.qm platforms/qwindows.dll Qt6Core.dll quorlinctl.exe; do
  [[ -f $install_dir/$file ]] || fail "the setup program did not install $file"
done
[[ -f "$start_menu/Quorlin Driver.lnk" ]] || fail "no Start menu entry"
registry_has "$run_key" QuorlinDriver || fail "no start with Windows ($run_key)"
log "installed: program, Start menu entry, start with Windows, uninstaller"

# The tray icon Wine docks in trayer: a small unnamed window of explorer.exe.
wine_tray_icon() {
  xwininfo -root -tree | awk '/\(has no name\): \("explorer.exe" "explorer.exe"\)/ {
    split($(NF-1), size, "x"); split($NF, at, "+");
    if (size[1] > 4 && size[1] < 64) { print int(at[2] + size[1] / 2), int(at[3] + size[2] / 2); found = 1; exit } }
    END { exit !found }'
}
click_tray_icon() { # button
  local x y
  read -r x y <<< "$(wine_tray_icon)" || return 1
  xdotool mousemove "$x" "$y" click "$1"
}
shoot() { # window-id file
  [[ -z $shots ]] || import -window "$1" "$shots/$2" 2> /dev/null || fail "no screenshot $2"
}
# Points near a window's top and presses keys (twm focuses the window under the pointer).
keys_to() { # window-id key...
  local x y w
  read -r x y w _ <<< "$(window_geometry "$1")"
  shift
  xdotool mousemove $((x + w / 2)) $((y + 8))
  sleep 0.3
  xdotool key "$@"
}
steady_window() { # title-regex what: sets $window
  until_ok "$2" visible_window "$1"
  window=$(visible_window "$1")
  until_ok "a steady $2" window_steady "$window"
}
# The tray menu: the panel's visible override-redirect window (Wine names the
# class of its windows after the program, in lower case).
menu_window() {
  local id info
  for id in $(xwininfo -root -tree | awk '/\("quorlindriver\.exe" "quorlindriver\.exe"\)/ { print $1 }'); do
    info=$(xwininfo -id "$id")
    [[ $info == *"Override Redirect State: yes"* && $info == *"Map State: IsViewable"* ]] \
      && echo "$id" && return 0
  done
  return 1
}
# A right click while a closing dialog still holds the pointer opens nothing:
# it is repeated until the menu shows.
menu_by_click() {
  menu_window && return 0
  click_tray_icon 3 || return 1
  sleep 1
  menu_window
}
open_menu() {
  until_ok "the tray menu" menu_by_click
  sleep 0.5
}
shoot_menu() { # file
  [[ -n $shots ]] || return 0
  open_menu
  shoot "$(menu_window)" "$1"
  xdotool key Escape
  sleep 0.5
}
start_panel() { # log-file [environment...]
  local panel_log=$1
  shift
  env QUORLIN_LOG_FILE="$(winpath "$panel_log")" "$@" wine "$win_install_dir\\QuorlinDriver.exe" \
    > "$panel_log.stdout" 2>&1 &
  panel=$!
  session_track "$panel"
}
# Quit: the pointer on the menu's first item, the version label (disabled,
# but current in the Windows style), then Down to Quit below it, and Return.
quit_from_tray() {
  open_menu
  keys_to "$(menu_window)" Down Return
  panel_ends Quit
}

# --- first start: no unit ---
panel_log=$session_dir/panel-en.log
start_panel "$panel_log"
until_ok "the tray icon" wine_tray_icon
for n in $(seq 0 15); do
  until_ok "the failed open of QuorlinAudioBus$n" \
    grep -qF "Open device \\\\.\\QuorlinAudioBus$n failed, error: 2" "$panel_log"
done
settings_dir=$(echo "$drive_c"/users/*/AppData/Roaming/QuorlinDriver)
[[ -d $settings_dir ]] || fail "no settings directory under %APPDATA% (QuorlinDriver)"
log "in the tray; sixteen opens failed with error 2; settings in ${settings_dir#"$drive_c"/}"
until_ok "the main window after a click on the tray icon" click_for_window wine_tray_icon "^Quorlin Driver$"
until_ok "the detection with no unit" grep -qF "Device PID: 0" "$panel_log"
steady_window '^Quorlin Driver$' "main window"
shoot "$window" not-connected.png
log "the tray icon showed the 'not connected' window"

# --- a second start ---
exits_with 0 timeout 60 env QUORLIN_LOG_FILE="$(winpath "$session_dir/panel-second.log")" \
  wine "$win_install_dir\\QuorlinDriver.exe"
kill -0 "$panel" 2> /dev/null || fail "the first panel ended with the second start"
log "a second start exited with 0; the first runs on"

# --- quorlinctl through the panel's pipe: no unit under Wine ---
ctl="$win_install_dir\\quorlinctl.exe"
ctl_out=$(wine "$ctl" status 2> /dev/null | tr -d '\r') || fail "quorlinctl status failed: '$ctl_out'"
grep -qx "connected=no" <<< "$ctl_out" || fail "quorlinctl status: '$ctl_out', expected 'connected=no'"
exits_with 3 wine "$ctl" get mic1.gain
log "quorlinctl: not connected; get mic1.gain exited 3"

# --- the ASIO driver's messages ---
wine "$stand_in" serve-reset 120 > "$session_dir/asio-server.log" 2>&1 &
asio_server=$!
session_track "$asio_server"
until_ok "the stand-in's pipe server" grep -q '^ready' "$session_dir/asio-server.log"
! visible_window '^Settings$' > /dev/null || fail "the settings dialog showed before the ASIO message"
exits_with 0 wine "$stand_in" open-window
steady_window '^Settings$' "settings dialog after the open-window message"
shoot "$window" settings.png
log "the open-window message showed the settings dialog"
keys_to "$window" Return # OK is the default button
asio_done() { ! kill -0 "$asio_server" 2> /dev/null; }
until_ok "the reset byte at the stand-in's server" asio_done
exits_with 0 wait "$asio_server"
tr -d '\r' < "$session_dir/asio-server.log" | grep -qx 'message 31' \
  || fail "the stand-in's server did not read the reset byte 0x31"
grep -qF "ASIO reset signal sent successfully." "$panel_log" || fail "the panel did not log the reset"
log "OK sent the reset byte 0x31 to \\\\.\\pipe\\QuorlinPannelToASIO"

shoot_menu tray-menu.png
quit_from_tray
log "Quit in the tray menu ended the panel with 0"

# --- Chinese: Wine takes the locale from the C library, compiled here privately ---
mkdir -p "$session_dir/locale"
localedef -i zh_CN -f UTF-8 "$session_dir/locale/zh_CN.UTF-8" 2> /dev/null \
  || fail "localedef could not make zh_CN.UTF-8 (package locales)"
panel_log=$session_dir/panel-zh.log
start_panel "$panel_log" LOCPATH="$session_dir/locale" LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
until_ok "the tray icon (zh_CN)" wine_tray_icon
until_ok "the Chinese translation" grep -qF 'QuorlinDriver_zh_CN.qm' "$panel_log"
tr -d '\r' < "$panel_log" | grep -qE '成功加载翻译文件：.*/QuorlinDriver_zh_CN\.qm$' \
  || fail "the panel did not load QuorlinDriver_zh_CN.qm: $(grep -F '翻译' "$panel_log")"
if [[ -n $shots ]]; then
  until_ok "the main window (zh_CN)" click_for_window wine_tray_icon "^Quorlin Driver$"
  steady_window '^Quorlin Driver$' "main window (zh_CN)"
  shoot "$window" not-connected-zh.png
  exits_with 0 wine "$stand_in" open-window
  steady_window '^Settings$' "settings dialog (zh_CN)"
  shoot "$window" settings-zh.png
  keys_to "$window" Escape # the tray menu does not open over the dialog
  dialog_gone() { ! visible_window '^Settings$'; }
  until_ok "the settings dialog to close" dialog_gone
  shoot_menu tray-menu-zh.png
fi
quit_from_tray
log "zh_CN: the Chinese translation loaded; Quit ended the panel with 0"

# --- uninstallation, with a settings file as the panel keeps it: the user's ---
printf '[General]\nBufferSize=256\n' > "$settings_dir/setting.ini"
wine "$install_dir/Uninstall.exe" /S > "$session_dir/uninstall.log" 2>&1 || fail "the uninstaller failed"
uninstalled() {
  [[ ! -e $install_dir && ! -e $start_menu ]] && ! registry_has "$run_key" QuorlinDriver
}
until_ok "the uninstallation" uninstalled
[[ -f $settings_dir/setting.ini ]] || fail "the uninstaller removed the user's settings"
log "uninstalled; the settings file stays"
echo "PASS"
