#!/usr/bin/env bash
# Soak: plug and unplug cycles of a virtual unit against the running
# application, changing the model between cycles (vt1, vr, vt2, ...). Both are
# real processes: the unit takes its console commands from a fifo, the
# application runs offscreen and logs to a file. After every cycle the
# application must still run and show the new model's panel. A first round
# through the three models warms up (each panel built once: fonts, style
# sheets, glyph caches); the counts are taken after it. At the end the open
# file descriptors must be back to that count and the resident memory (VmRSS)
# grown by less than 2 MB (2048 kB).
#
#   scripts/soak.sh                 300 cycles (builds first, into build/)
#   scripts/soak.sh --cycles N      N cycles after the warm-up round
#   scripts/soak.sh --bin DIR       use the executables in DIR, don't build
#   scripts/soak.sh --csv FILE      also write one line per cycle to FILE
#   scripts/soak.sh --rss-limit KB  allowed VmRSS growth (default 2048), or
#                                   "none": reported, not judged
#
# Each cycle waits for the application to notice the unplug (three failed
# 400 ms connection checks) and the plug (the 1000 ms detection timer), so a
# cycle takes about three seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

cycles=300 bin="" csv="" rsslimit=2048
while [[ $# -gt 0 ]]; do
  case "$1" in
    --cycles) cycles=$2; shift ;;
    --bin) bin=$2; shift ;;
    --csv) csv=$2; shift ;;
    --rss-limit) rsslimit=$2; shift ;;
    *) echo "usage: $0 [--cycles N] [--bin DIR] [--csv FILE] [--rss-limit KB]" >&2; exit 2 ;;
  esac
  shift
done
if [[ -z $bin ]]; then
  "$root/scripts/build.sh" >/dev/null
  bin=$root/build/bin
fi

source "$root/scripts/lib/session.sh"
session_start
session_private_dirs "$session_dir"
export QT_QPA_PLATFORM=offscreen QT_LOGGING_TO_CONSOLE=1
applog=$session_dir/app.log

fail() {
  echo "soak: FAILED: $*" >&2
  echo "--- last lines of the application's log:" >&2
  tail -n 20 "$applog" >&2 || true
  exit 1
}

session_unit "$session_dir/unit.log" "$bin/quorlin-virtual-unit" --model vt2 --quiet
"$bin/QuorlinDriver" >"$applog" 2>&1 &
app=$!
session_track "$app"

session_wait_limit=20
until_ok_check() { kill -0 "$app" 2>/dev/null || fail "the application ended (waiting for $1)"; }
# Waits until the application has logged `line` at least `n` times.
wait_for() { until_ok "'$1' #$2" more_than "$applog" "$1" $(($2 - 1)); }
fds() { ls "/proc/$app/fd" | wc -l; }
rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$app/status"; }
# Lets the start-up sequence's OTG cycle and the first meter reads finish.
settle() { sleep 0.6; }

found="Device found with PID:"
gone="Cleared all widgets from base layout."

models=(vt1 vr vt2)
done_cycles=0 model=vt2
# One cycle: unplugged, then plugged as the next model, whose panel must show.
cycle() {
  model=${models[$((done_cycles % 3))]}
  unit_say unplug
  wait_for "$gone" $((done_cycles + 1))
  unit_say "model $model"
  unit_say plug
  wait_for "$found" $((done_cycles + 2))
  settle
  done_cycles=$((done_cycles + 1))
}

wait_for "$found" 1
for _ in "${models[@]}"; do cycle; done
fds0=$(fds) rss0=$(rss)
echo "soak: $cycles cycles; after the warm-up round: $fds0 open descriptors, VmRSS $rss0 kB"
[[ -n $csv ]] && echo "cycle,model,fds,rss_kb" >"$csv"

started=$SECONDS
for ((i = 1; i <= cycles; i++)); do
  cycle
  [[ -n $csv ]] && echo "$i,$model,$(fds),$(rss)" >>"$csv"
  if ((i % 25 == 0)); then
    echo "soak: cycle $i/$cycles ($model): $(fds) descriptors, VmRSS $(rss) kB, $((SECONDS - started)) s"
  fi
done

fds1=$(fds) rss1=$(rss)
grown=$((rss1 - rss0))
echo "soak: survived $cycles cycles in $((SECONDS - started)) s"
echo "soak: open descriptors $fds0 -> $fds1; VmRSS $rss0 kB -> $rss1 kB (grown $grown kB)"

# The application ends in order on SIGTERM.
kill -TERM "$app"
status=0
wait "$app" || status=$?
((status == 0)) || fail "the application exited with status $status on SIGTERM"
((fds1 == fds0)) || fail "open descriptors $fds0 at the start, $fds1 at the end"
[[ $rsslimit == none ]] || ((grown < rsslimit)) || fail "VmRSS grew by $grown kB (limit $rsslimit kB)"
echo "soak: passed"
