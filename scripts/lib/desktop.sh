# shellcheck shell=bash
# A private desktop for the desktop test and the scripts that photograph or
# show the panel: a virtual display (Xvfb), the twm window manager and,
# optionally, a trayer notification area. Each is checked to be running before
# the next starts, so a missing font or a crashed server is reported as such
# and not as a click that found nothing. Source it, then:
#
#   desktop_start DIR [--tray] [--size WxH] [--twm LINE]...
#       starts the desktop, keeping its logs and twmrc in DIR, and exports
#       DISPLAY; on failure prints what went wrong (with the log of what ended)
#       and returns 1. --twm adds a line to twmrc.
#   desktop_start_tray [trayer option]...
#       adds the notification area later (after desktop_start without --tray)
#   desktop_alive
#       returns 1, with the reason in $desktop_error, once any of them ended
#   desktop_add NAME LOG COMMAND...
#       starts another part of the desktop (an accessibility bus), watched
#       like the others
#   desktop_stop
#       ends them; a session (scripts/lib/session.sh, loaded with this file)
#       calls it on every exit path
#
# and, for finding the application on it:
#
#   tray_icon           the application's tray icon: "x y height" of its centre
#   visible_window RE   the id of a visible window whose title matches RE
#   window_geometry ID  "x y width height" of a window on the screen
#   window_steady ID    succeeds when the window kept its geometry for 0.3 s
#
# (until_ok, from the session, also fails once the desktop has ended.)
#
# Needs Xvfb, twm, xwininfo (x11-utils) and, with --tray, trayer. Only the
# fonts built into the X server are used: no font package is needed.

source "$(dirname "${BASH_SOURCE[0]}")/session.sh"

desktop_pids=()
desktop_names=()
desktop_logs=()
desktop_error=""
desktop_dir=""

# _desktop_until <seconds> <command...>: polls the command while every part
# of the desktop started so far keeps running.
_desktop_until() {
  local limit=$1 end=$((SECONDS + $1))
  shift
  until "$@" > /dev/null 2>&1; do
    desktop_alive || return 1
    if ((SECONDS >= end)); then
      desktop_error="nothing within $limit s"
      return 1
    fi
    sleep 0.1
  done
}

desktop_add() {
  local name=$1 log=$2
  shift 2
  "$@" > "$log" 2>&1 &
  desktop_pids+=($!)
  desktop_names+=("$name")
  desktop_logs+=("$log")
}

desktop_alive() {
  local i
  for i in "${!desktop_pids[@]}"; do
    if ! kill -0 "${desktop_pids[$i]}" 2> /dev/null; then
      desktop_error="${desktop_names[$i]} is no longer running; its output:
$(tail -n 20 "${desktop_logs[$i]}" 2> /dev/null)"
      return 1
    fi
  done
}

_desktop_fail() {
  echo "desktop: $1: $desktop_error" >&2
  return 1
}

desktop_start() {
  local dir=$1 tray=no size=1280x800 twm_lines=()
  shift
  while (($# > 0)); do
    case $1 in
      --tray) tray=yes ;;
      --size) size=$2 && shift ;;
      --twm) twm_lines+=("$2") && shift ;;
      *) echo "desktop_start: unknown option $1" >&2 && return 1 ;;
    esac
    shift
  done
  local missing=() tool
  for tool in Xvfb twm xwininfo $([[ $tray == no ]] || echo trayer); do
    command -v "$tool" > /dev/null || missing+=("$tool")
  done
  if ((${#missing[@]} > 0)); then
    echo "desktop: ${missing[*]} not installed (scripts/install-deps.sh --test installs" \
      "what the desktop needs)" >&2
    return 1
  fi
  mkdir -p "$dir" || return 1
  desktop_dir=$dir

  # Xvfb picks a free display itself and writes its number once it accepts
  # clients.
  desktop_add "the virtual display (Xvfb)" "$dir/xvfb.log" \
    Xvfb -displayfd 5 -screen 0 "${size}x24" -nolisten tcp 5> "$dir/display"
  display_written() { [[ $(cat "$dir/display" 2> /dev/null) == *[0-9]* ]]; }
  _desktop_until "$session_wait_limit" display_written || _desktop_fail "no virtual display" || return 1
  DISPLAY=:$(tr -dc 0-9 < "$dir/display")
  export DISPLAY
  _desktop_until "$session_wait_limit" xwininfo -root \
    || _desktop_fail "the virtual display $DISPLAY does not answer" || return 1

  # twm's default fonts ("variable" and others) come from font packages a
  # fresh system lacks; "fixed" is built into every X server, and in the C
  # locale it covers the one character set twm then asks for.
  {
    printf '%s\n' RandomPlacement NoGrabServer
    local slot
    for slot in TitleFont ResizeFont MenuFont IconFont IconManagerFont; do
      printf '%s "fixed"\n' "$slot"
    done
    ((${#twm_lines[@]} == 0)) || printf '%s\n' "${twm_lines[@]}"
  } > "$dir/twmrc"
  desktop_add "the window manager (twm)" "$dir/twm.log" env LC_ALL=C twm -f "$dir/twmrc"
  # twm has set up the screen once its (hidden) icon manager window exists.
  twm_ready() { xwininfo -root -tree | grep -qF '"TWM Icon Manager"'; }
  _desktop_until "$session_wait_limit" twm_ready || _desktop_fail "no window manager" || return 1

  if [[ $tray == yes ]]; then desktop_start_tray || return 1; fi
  desktop_alive || _desktop_fail "the desktop did not stay up" || return 1
}

desktop_start_tray() { # [trayer option]...
  if ! command -v trayer > /dev/null; then
    echo "desktop: trayer not installed (scripts/install-deps.sh --test installs it)" >&2
    return 1
  fi
  desktop_add "the notification area (trayer)" "$desktop_dir/trayer.log" \
    trayer --edge top --align right --widthtype pixel --width 80 --height 32 \
    --transparent false --tint 0x1b1e23 "$@"
  tray_shown() {
    local id
    id=$(xwininfo -root -tree | awk '/\("panel" "trayer"\)/ { print $1; exit }')
    [[ -n $id ]] && xwininfo -id "$id" | grep -q 'Map State: IsViewable'
  }
  _desktop_until "$session_wait_limit" tray_shown || _desktop_fail "no notification area" || return 1
}

desktop_stop() {
  local i
  for ((i = ${#desktop_pids[@]} - 1; i >= 0; i--)); do session_end "${desktop_pids[$i]}"; done
  desktop_pids=()
  desktop_names=()
  desktop_logs=()
}

# An embedded window of the application smaller than 64 px.
tray_icon() {
  xwininfo -root -tree | awk '/"QuorlinDriver": \("QuorlinDriver"/ {
    split($(NF-1), size, "x"); split($NF, at, "+");
    if (size[1] < 64) { print int(at[2] + size[1] / 2), int(at[3] + size[2] / 2), size[2]; found = 1; exit } }
    END { exit !found }'
}

# The open tray menus: each visible window of the application named after
# it and wider than the icon (the menu first, then an open submenu).
tray_menus() {
  local id
  for id in $(xdotool search --onlyvisible --class '^QuorlinDriver$' 2> /dev/null); do
    [[ $(xdotool getwindowname "$id") == QuorlinDriver ]] || continue
    read -r _ _ w _ <<< "$(window_geometry "$id")"
    ((w > 64)) && echo "$id"
  done
  return 0
}
tray_menu() { tray_menus | head -n 1 | grep .; }

# Right-clicks the tray icon near its lower edge, so that the menu opens
# below the tray, and waits up to 10 s for the menu to stand still. A right
# click now and then goes unanswered: it tries three times.
tray_menu_open() {
  local attempt x y h end
  for attempt in 1 2 3; do
    read -r x y h <<< "$(tray_icon)" || return 1
    xdotool mousemove "$x" "$((y + h / 2 - 2))" click 3
    end=$((SECONDS + 10))
    until tray_menu > /dev/null; do
      ((SECONDS < end)) || break
      sleep 0.2
    done
    if tray_menu > /dev/null; then
      window_steady "$(tray_menu)" || sleep 0.5
      return 0
    fi
    echo "  (the tray menu did not open on attempt $attempt)" >&2
  done
  return 1
}

visible_window() { xdotool search --onlyvisible --name "$1" 2> /dev/null | head -n 1 | grep .; }

window_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }'
}

window_steady() {
  local a b
  a=$(window_geometry "$1") && sleep 0.3 && b=$(window_geometry "$1") && [[ $a == "$b" ]]
}
