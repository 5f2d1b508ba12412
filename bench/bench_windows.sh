#!/usr/bin/env bash
# The Windows program under Wine beside the Linux program, in the same run, on
# the same private desktop (Xvfb, twm, trayer) with no unit: how long each
# takes from start to its tray icon on the screen and to its event loop, and
# the memory it holds there. Plus the one-time Qt build's time and size, the
# deploy folder's and the setup program's sizes.
#
#   bench/bench_windows.sh <windows-build-dir> <linux-bin-dir> [runs]
#
# <windows-build-dir> is what scripts/windows-build.sh built (its deploy/ and
# setup program); <linux-bin-dir> holds the Linux QuorlinDriver (build/bin).
#
# Marks, the same for both programs, taken by this script's clock from just
# before the start (date +%s%N):
#   tray icon    the icon docked in trayer, polled with xwininfo every 20 ms
#   event loop   the first detection tick's first log line (the failed open of
#                \\.\QuorlinAudioBus0), which the panel's 1000 ms timer gives
#                once the event loop runs, less those 1000 ms; read from the
#                log file (QUORLIN_LOG_FILE)
#   tick         from that line to the tick's last one ("Device PID: 0"): the
#                sixteen failed opens and the rest of one detection
#   memory       VmRSS and VmHWM of the process 3 s after the tray icon (for
#                Wine: the program's own process, not wineserver or explorer)
# Each program starts once unmeasured (Wine's first start fills its caches),
# then <runs> times (default 5) alternating; medians are printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
windows_build=$(realpath "$1")
linux_bin=$(realpath "$2")
runs=${3:-5}
source "$root/scripts/lib/desktop.sh"
fail() {
  echo "bench_windows: $*" >&2
  exit 1
}
session_start
trap 'status=$?; wineserver -k > /dev/null 2>&1 || true; (exit $status); _session_exit' EXIT
session_private_dirs "$session_dir"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
export LC_ALL=C.UTF-8
export WINEPREFIX=$session_dir/wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
desktop_start "$session_dir/desktop" --tray || fail "no desktop"
wineboot -i > /dev/null 2>&1 || fail "wineboot failed"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
wine_icon() { xwininfo -root -tree | grep -q '(has no name): ("explorer.exe" "explorer.exe")  [0-9]\{1,2\}x'; }
linux_icon() { tray_icon > /dev/null; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# run <kind> <log>: prints "tray-ms loop-ms rss-kB hwm-kB tick-ms"
run() {
  local kind=$1 log=$2 start pid icon first tick
  rm -f "$log"
  start=$(now_ms)
  if [[ $kind == wine ]]; then
    QUORLIN_LOG_FILE="Z:${log//\//\\}" wine "$windows_build/deploy/QuorlinDriver.exe" > /dev/null 2>&1 &
  else
    QUORLIN_LOG_FILE=$log "$linux_bin/QuorlinDriver" > /dev/null 2>&1 &
  fi
  pid=$!
  until ${kind}_icon; do sleep 0.02; done
  icon=$(now_ms)
  until grep -qF 'QuorlinAudioBus0 failed' "$log" 2> /dev/null; do sleep 0.01; done
  first=$(now_ms)
  until grep -qF "Device PID: 0" "$log" 2> /dev/null; do sleep 0.01; done
  tick=$(now_ms)
  sleep 3
  local rss hwm
  rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status")
  hwm=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
  kill "$pid"
  wait "$pid" 2> /dev/null || true
  # the icon gone: the next start's icon is its own
  while ${kind}_icon; do sleep 0.05; done
  echo "$((icon - start)) $((first - 1000 - start)) $rss $hwm $((tick - first))"
}

run wine "$session_dir/warm.log" > /dev/null
run linux "$session_dir/warm.log" > /dev/null
for ((i = 0; i < runs; i++)); do
  run wine "$session_dir/w$i.log" >> "$session_dir/wine.txt"
  run linux "$session_dir/l$i.log" >> "$session_dir/linux.txt"
done

column_median() { awk -v c="$2" '{ print $c }' "$1" | median; }
echo "== the Windows program under Wine beside Linux, $runs runs each, $(nproc) cores, $(date -u '+%Y-%m-%d %H:%M UTC') =="
printf '  %-40s %12s %12s\n' "" "Wine" "Linux"
printf '  %-40s %9s ms %9s ms\n' "start to tray icon (median)" \
  "$(column_median "$session_dir/wine.txt" 1)" "$(column_median "$session_dir/linux.txt" 1)"
printf '  %-40s %9s ms %9s ms\n' "start to event loop (median)" \
  "$(column_median "$session_dir/wine.txt" 2)" "$(column_median "$session_dir/linux.txt" 2)"
printf '  %-40s %9s ms %9s ms\n' "one detection tick, no unit (median)" \
  "$(column_median "$session_dir/wine.txt" 5)" "$(column_median "$session_dir/linux.txt" 5)"
printf '  %-40s %9s MB %9s MB\n' "resident set (VmRSS), median" \
  "$(($(column_median "$session_dir/wine.txt" 3) / 1024))" "$(($(column_median "$session_dir/linux.txt" 3) / 1024))"
printf '  %-40s %9s MB %9s MB\n' "peak resident set (VmHWM), median" \
  "$(($(column_median "$session_dir/wine.txt" 4) / 1024))" "$(($(column_median "$session_dir/linux.txt" 4) / 1024))"

qt_prefix=$("$root/scripts/windows-build.sh" --qt-prefix 2> /dev/null || true)
if [[ -f $qt_prefix/quorlin-qt-build.txt ]]; then
  printf '  %-40s %9s s\n' "one-time Qt for Windows build" "$(sed -n 's/^build_seconds=//p' "$qt_prefix/quorlin-qt-build.txt")"
  printf '  %-40s %9s MB\n' "Qt for Windows, installed" "$(($(du -sk "$qt_prefix" | cut -f1) / 1024))"
fi
printf '  %-40s %9s MB\n' "deploy folder" "$(($(du -sk "$windows_build/deploy" | cut -f1) / 1024))"
setup=$(ls "$windows_build"/QuorlinDriver-*-setup.exe)
printf '  %-40s %9s kB   target 10240 kB %s\n' "setup program" "$(($(stat -c %s "$setup") / 1024))" \
  "$( (($(stat -c %s "$setup") <= 10485760)) && echo PASS || echo MISS)"
