# shellcheck shell=bash
# A private session for the scripts and tests that run the real panel and the
# virtual unit as processes: a scratch directory, a home, runtime and
# temporary directory of its own (no user's sockets, settings or files), and
# on every exit the processes it was given ended (the last started first), the
# desktop stopped (when scripts/lib/desktop.sh is loaded) and the scratch
# directory removed, keeping the exit status. Source it, then:
#
#   session_start             makes the scratch directory $session_dir and
#                             takes over the EXIT, INT and TERM traps
#   session_private_dirs DIR  exports HOME, XDG_RUNTIME_DIR and TMPDIR under
#                             DIR (the data and config homes follow HOME)
#   session_track PID...      ends PID with the session
#   session_end PID           ends a process started by this shell now:
#                             SIGTERM, then SIGKILL after 10 s
#   session_unit LOG UNIT [ARGUMENT]...
#                             starts the virtual unit UNIT, its output in LOG
#                             and its console a fifo held open on descriptor
#                             7; tracked, its pid in $unit_pid
#   unit_say COMMAND          a console command to that unit
#   unit_close                closes its console (the unit keeps serving)
#
# and, for waiting on them:
#
#   until_ok WHAT COMMAND...  polls COMMAND until it succeeds; calls the
#                             caller's fail() with a message after
#                             $session_wait_limit s (default 40), when the
#                             desktop ends, or when the caller's optional
#                             until_ok_check WHAT fails
#   line_count FILE TEXT      how many lines of FILE hold TEXT (0 without FILE)
#   more_than FILE TEXT N     succeeds when more than N lines of FILE hold TEXT

session_dir=""
session_pids=()
unit_pid=""
session_wait_limit=${session_wait_limit:-40}

session_start() {
  session_dir=$(mktemp -d)
  trap _session_exit EXIT
  trap 'exit 1' INT TERM
}

_session_exit() {
  local status=$? i
  unit_close
  for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do session_end "${session_pids[$i]}"; done
  ! declare -F desktop_stop > /dev/null || desktop_stop
  rm -rf "$session_dir"
  exit "$status"
}

session_private_dirs() {
  export HOME=$1/home XDG_RUNTIME_DIR=$1/runtime TMPDIR=$1/tmp
  unset XDG_DATA_HOME XDG_CONFIG_HOME
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$TMPDIR" && chmod 700 "$XDG_RUNTIME_DIR"
}

session_track() { session_pids+=("$@"); }

session_end() {
  local pid=$1 end=$((SECONDS + 10))
  kill -TERM "$pid" 2> /dev/null || return 0
  while kill -0 "$pid" 2> /dev/null && ((SECONDS < end)); do sleep 0.1; done
  kill -KILL "$pid" 2> /dev/null || true
  wait "$pid" 2> /dev/null || true
}

session_unit() {
  local log=$1 console
  shift
  console=$(mktemp -u "$session_dir/console.XXXXXX")
  mkfifo "$console"
  "$@" < "$console" > "$log" 2>&1 &
  unit_pid=$!
  session_track "$unit_pid"
  exec 7> "$console"
}

unit_say() { echo "$*" >&7; }
unit_close() { { exec 7>&-; } 2> /dev/null; }

until_ok() {
  local what=$1 end=$((SECONDS + session_wait_limit))
  shift
  until "$@" > /dev/null 2>&1; do
    ((SECONDS < end)) || fail "no $what within $session_wait_limit s"
    ! declare -F desktop_alive > /dev/null || desktop_alive || fail "waiting for $what: $desktop_error"
    ! declare -F until_ok_check > /dev/null || until_ok_check "$what"
    sleep 0.2
  done
}

line_count() { grep -cF -- "$2" "$1" 2> /dev/null || true; }
more_than() { (($(line_count "$1" "$2") > $3)); }
