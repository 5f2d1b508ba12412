# shellcheck shell=bash
# What desktop_e2e.sh and windows_app.sh share on top of scripts/lib/desktop.sh.
# Their waits fail at once when the panel ($panel) ends.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/desktop.sh"
panel=""
log() { echo "[$(date +%T)] $*"; }
fail() {
  echo "FAIL: $*" >&2
  tail -n 30 "$session_dir"/*.log "$session_dir"/desktop/*.log >&2 2> /dev/null
  exit 1
}
until_ok_check() {
  [[ -z $panel ]] || kill -0 "$panel" 2> /dev/null || fail "the panel ended while waiting for $1"
}
exits_with() { # status command...
  local expected=$1 status=0
  shift
  "$@" > /dev/null 2>&1 || status=$?
  ((status == expected)) || fail "'$*' exited with $status, expected $expected"
}
panel_ends() { # cause: the panel must end, with exit code 0
  local ending=$panel
  panel=""
  panel_ended() { ! kill -0 "$ending" 2> /dev/null; }
  until_ok "end of the panel after $1" panel_ended
  exits_with 0 wait "$ending"
}
click_for_window() { # tray-icon-function title-regex: the window within 3 s of a click
  local position x y end=$((SECONDS + 3))
  position=$("$1") || return 1
  read -r x y _ <<< "$position"
  xdotool mousemove "$x" "$y" click 1
  until visible_window "$2" > /dev/null; do
    ((SECONDS < end)) || return 1
    sleep 0.2
  done
}
