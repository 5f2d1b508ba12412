#!/usr/bin/env bash
# The Windows program, built and packaged by scripts/windows-build.sh, under
# Wine on a private desktop (Xvfb, twm, trayer: scripts/lib/desktop.sh) in a
# Wine prefix of its own. No Quorlin driver exists under Wine, so the panel
# meets what it meets on a Windows machine with no unit plugged. Checked:
#
#   - the setup program installs silently (/S): the program in Program Files,
#     its Start menu entry, its start with Windows and its uninstaller;
#   - the installed panel starts in the tray and logs the sixteen failed opens
#     of \\.\QuorlinAudioBus0 to 15 (error 2) into its log file
#     (QUORLIN_LOG_FILE), and its settings directory under %APPDATA%; a click
#     on its tray icon shows the "not connected" window;
#   - a second start exits at once with 0 and the first keeps running;
#   - the ASIO driver's open-window message (tests/windows/asio_driver_stand_in)
#     brings up the settings dialog, and its OK button sends the reset byte
#     0x31 to the stand-in's duplex server \\.\pipe\QuorlinPannelToASIO;
#   - Quit in the tray menu ends the panel with exit code 0;
#   - in a Chinese locale the panel loads its Chinese translation;
#   - the uninstaller removes what was installed and leaves the user's
#     settings.
#
#   windows_app.sh <work-dir> [--screenshots <dir>]
#
# <work-dir> is windows-build.sh's build directory (it is built there). With
# --screenshots, the not-connected window, the settings dialog and the tray
# menu are saved into <dir>, in English and Chinese.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
root=$(realpath "$here/../..")
work=$(realpath -m "$1")
shift
shots=""
if [[ ${1:-} == --screenshots ]]; then
  shots=$(realpath -m "$2")
  mkdir -p "$shots"
fi
source "$root/scripts/lib/desktop.sh"
session_wait_limit=60 # Wine is slow to start a program the first time

log() { echo "[$(date +%T)] $*"; }
fail() {
  echo "FAIL: $*" >&2
  local file
  for file in "$session_dir"/*.log "$session_dir"/desktop/*.log; do
    [[ -f $file ]] || continue
    echo "----- $(basename "$file") (last 30 lines)" >&2
    tail -n 30 "$file" >&2
  done
  exit 1
}
panel=""
until_ok_check() {
  [[ -z $panel ]] || kill -0 "$panel" 2> /dev/null || fail "the panel ended while waiting for $1"
}

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
# A 64-bit prefix of its own; Mono and Gecko are left out, so that making it
# neither asks for them nor tries to fetch them.
export WINEPREFIX=$session_dir/wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
desktop_start "$session_dir/desktop" --tray || fail "no desktop"
# The Wine server stays up for the whole test: a new server would run
# wineboot, which starts what the Run key names, the installed panel.
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot -i > "$session_dir/wineboot.log" 2>&1 || fail "wineboot could not make the prefix"
log "Wine prefix ready on $DISPLAY"

# A Unix path as Windows programs see it (Wine's Z: drive is /).
winpath() { echo "Z:${1//\//\\}"; }
drive_c=$WINEPREFIX/drive_c
install_dir="$drive_c/Program Files/Quorlin/QuorlinDriver"
panel_exe='C:\Program Files\Quorlin\QuorlinDriver\QuorlinDriver.exe'
start_menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quorlin"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
registry_has() { wine reg query "$1" /v "$2" > /dev/null 2>&1; }

# --- installation ---
wine "$setup" /S > "$session_dir/setup.log" 2>&1 || fail "the setup program failed"
installed() { [[ -f $install_dir/QuorlinDriver.exe && -f $install_dir/Uninstall.exe ]]; }
until_ok "the installed program" installed
for file in QuorlinDriver_en_US.qm QuorlinDriver_zh_CN.qm platforms/qwindows.dll Qt6Core.dll; do
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
  [[ -n $shots ]] || return 0
  import -window "$1" "$shots/$2" 2> /dev/null || fail "no screenshot $2"
}
# The tray menu: the panel's visible pop-up (override-redirect) window (Wine
# names the class of its windows after the program, in lower case).
menu_window() {
  local id info
  for id in $(xwininfo -root -tree | awk '/\("quorlindriver\.exe" "quorlindriver\.exe"\)/ { print $1 }'); do
    info=$(xwininfo -id "$id")
    if [[ $info == *"Override Redirect State: yes"* && $info == *"Map State: IsViewable"* ]]; then
      echo "$id"
      return 0
    fi
  done
  return 1
}
# A right click that lands while a closing dialog still holds the pointer
# opens nothing; the click is repeated until the menu shows.
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
  import -window "$(menu_window)" "$shots/$1" 2> /dev/null || fail "no screenshot $1"
  xdotool key Escape
  sleep 0.5
}
start_panel() { # log-file [environment...]
  local panel_log=$1
  shift
  env QUORLIN_LOG_FILE="$(winpath "$panel_log")" "$@" wine "$panel_exe" \
    > "$panel_log.stdout" 2>&1 &
  panel=$!
  session_track "$panel"
}
# Quit from the tray menu: the pointer on its first item, the version label
# (disabled, but the Windows style lets it be the current item), then Down
# to Quit, the item below it, and Return.
quit_from_tray() {
  local ending=$panel status=0 x y w
  open_menu
  read -r x y w _ <<< "$(window_geometry "$(menu_window)")"
  xdotool mousemove $((x + w / 2)) $((y + 8))
  sleep 0.3
  xdotool key Down Return
  panel=""
  panel_ended() { ! kill -0 "$ending" 2> /dev/null; }
  until_ok "end of the panel after Quit" panel_ended
  wait "$ending" || status=$?
  ((status == 0)) || fail "the panel ended with exit code $status after Quit, expected 0"
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

open_main_window() {
  click_tray_icon 1 || return 1
  local end=$((SECONDS + 3))
  until visible_window '^Quorlin Driver$' > /dev/null; do
    ((SECONDS < end)) || return 1
    sleep 0.2
  done
}
until_ok "the main window after a click on the tray icon" open_main_window
until_ok "the detection with no unit" grep -qF "Device PID: 0" "$panel_log"
main_window=$(visible_window '^Quorlin Driver$')
until_ok "a steady main window" window_steady "$main_window"
shoot "$main_window" not-connected.png
log "the tray icon showed the 'not connected' window"

# --- a second start ---
second_status=0
timeout 60 env QUORLIN_LOG_FILE="$(winpath "$session_dir/panel-second.log")" wine "$panel_exe" \
  > /dev/null 2>&1 || second_status=$?
((second_status == 0)) || fail "the second start ended with $second_status, expected 0"
kill -0 "$panel" 2> /dev/null || fail "the first panel ended with the second start"
log "a second start exited with 0; the first runs on"

# ======================================================================
# quorlinctl, installed beside the panel, reaches it through its pipe.
# Wine has no unit: "status" says so, and reading a control exits 3.
[[ -f $install_dir/quorlinctl.exe ]] || fail "the setup program did not install quorlinctl.exe"
ctl='C:\Program Files\Quorlin\QuorlinDriver\quorlinctl.exe'
ctl_out=$(wine "$ctl" status 2> /dev/null | tr -d '\r') || fail "quorlinctl status failed: '$ctl_out'"
grep -qx "connected=no" <<< "$ctl_out" || fail "quorlinctl status: '$ctl_out', expected 'connected=no'"
ctl_status=0
wine "$ctl" get mic1.gain > /dev/null 2>&1 || ctl_status=$?
((ctl_status == 3)) || fail "quorlinctl get mic1.gain exited $ctl_status, expected 3"
log "quorlinctl: not connected; get mic1.gain exited 3"
# ======================================================================

# --- the ASIO driver's messages ---
wine "$stand_in" serve-reset 120 > "$session_dir/asio-server.log" 2>&1 &
asio_server=$!
session_track "$asio_server"
until_ok "the stand-in's pipe server" grep -q '^ready' "$session_dir/asio-server.log"
! visible_window '^Settings$' > /dev/null || fail "the settings dialog showed before the ASIO message"
wine "$stand_in" open-window > "$session_dir/asio-client.log" 2>&1 \
  || fail "the open-window message was not sent: $(cat "$session_dir/asio-client.log")"
until_ok "the settings dialog after the open-window message" visible_window '^Settings$'
dialog=$(visible_window '^Settings$')
until_ok "a steady settings dialog" window_steady "$dialog"
shoot "$dialog" settings.png
log "the open-window message showed the settings dialog"

# OK is the dialog's default button: Return with the pointer over the dialog
# (twm gives the focus to the window under the pointer).
read -r x y w h <<< "$(window_geometry "$dialog")"
xdotool mousemove $((x + w / 2)) $((y + 10))
sleep 0.3
xdotool key Return
asio_done() { ! kill -0 "$asio_server" 2> /dev/null; }
until_ok "the reset byte at the stand-in's server" asio_done
asio_status=0
wait "$asio_server" || asio_status=$?
tr -d '\r' < "$session_dir/asio-server.log" | grep -qx 'message 31' && ((asio_status == 0)) \
  || fail "the stand-in's server did not read the reset byte 0x31"
grep -qF "ASIO reset signal sent successfully." "$panel_log" || fail "the panel did not log the reset"
log "OK sent the reset byte 0x31 to \\\\.\\pipe\\QuorlinPannelToASIO"

# --- Quit from the tray menu ---
shoot_menu tray-menu.png
quit_from_tray
log "Quit in the tray menu ended the panel with 0"

# --- Chinese ---
# Wine takes the locale from the C library, which needs it compiled: it is
# made here, privately (LOCPATH), from the locales package's sources.
mkdir -p "$session_dir/locale"
localedef -i zh_CN -f UTF-8 "$session_dir/locale/zh_CN.UTF-8" 2> /dev/null \
  || fail "localedef could not make zh_CN.UTF-8 (package locales)"
panel_log=$session_dir/panel-zh.log
start_panel "$panel_log" LOCPATH="$session_dir/locale" LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
until_ok "the tray icon (zh_CN)" wine_tray_icon
until_ok "the Chinese translation" grep -qF 'QuorlinDriver_zh_CN.qm' "$panel_log"
# (The log file is a Windows text file: its lines end in CR LF.)
tr -d '\r' < "$panel_log" | grep -qE '成功加载翻译文件：.*/QuorlinDriver_zh_CN\.qm$' \
  || fail "the panel did not load QuorlinDriver_zh_CN.qm: $(grep -F '翻译' "$panel_log")"
if [[ -n $shots ]]; then
  until_ok "the main window (zh_CN)" open_main_window
  main_window=$(visible_window '^Quorlin Driver$')
  until_ok "a steady main window" window_steady "$main_window"
  shoot "$main_window" not-connected-zh.png
  wine "$stand_in" open-window > /dev/null 2>&1 || fail "no open-window message (zh_CN)"
  until_ok "the settings dialog (zh_CN)" visible_window '^Settings$'
  until_ok "a steady settings dialog" window_steady "$(visible_window '^Settings$')"
  dialog=$(visible_window '^Settings$')
  shoot "$dialog" settings-zh.png
  # Escape closes the dialog (the tray menu does not open over it).
  read -r x y w h <<< "$(window_geometry "$dialog")"
  xdotool mousemove $((x + w / 2)) $((y + 10))
  sleep 0.3
  xdotool key Escape
  dialog_gone() { ! visible_window '^Settings$'; }
  until_ok "the settings dialog to close" dialog_gone
  shoot_menu tray-menu-zh.png
fi
quit_from_tray
log "zh_CN: the Chinese translation loaded; Quit ended the panel with 0"

# --- uninstallation ---
# A settings file as the panel keeps it after a change: the user's, to stay.
printf '[General]\nBufferSize=256\n' > "$settings_dir/setting.ini"
wine "$install_dir/Uninstall.exe" /S > "$session_dir/uninstall.log" 2>&1 \
  || fail "the uninstaller failed"
uninstalled() {
  [[ ! -e $install_dir && ! -e $start_menu ]] && ! registry_has "$run_key" QuorlinDriver
}
until_ok "the uninstallation" uninstalled
[[ -f $settings_dir/setting.ini ]] || fail "the uninstaller removed the user's settings"
log "uninstalled; the settings file stays"
echo "PASS"
