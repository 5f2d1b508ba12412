#!/usr/bin/env bash
# Builds (scripts/build.sh, into build/) and runs every benchmark, printing each
# figure beside its target. Benchmarks report; they never fail on a missed
# target, only when a run goes wrong.
#
#   scripts/bench.sh            full run (idle measured 30 s hidden + 30 s shown)
#   scripts/bench.sh --quick    shorter runs (idle 5 s each, fewer samples)
#   scripts/bench.sh --seconds N   idle measurement of N seconds each
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

seconds=30 steps=2000 sweeps=30 runs=7
while [[ $# -gt 0 ]]; do
  case "$1" in
    --quick) seconds=5 steps=1000 sweeps=10 runs=3 ;;
    --seconds) seconds=$2; shift ;;
    *) echo "usage: $0 [--quick] [--seconds N]" >&2; exit 2 ;;
  esac
  shift
done

"$root/scripts/install-deps.sh" --screenshot
"$root/scripts/build.sh"

# Every run below makes its own runtime, home and data directories under here.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch
unset QT_QPA_PLATFORM

echo "== Quorlin benchmarks on $(nproc) cores, $(date -u '+%Y-%m-%d %H:%M UTC') =="
status=0
"$root/build/bench/bench_control_change" --steps "$steps" || status=1
"$root/build/bench/bench_dial_sweep" --sweeps "$sweeps" || status=1
"$root/build/bench/bench_ctl" --runs $((runs * 3)) || status=1
python3 "$root/bench/bench_process.py" --bin "$root/build/bin" --seconds "$seconds" \
  --startup-runs "$runs" || status=1
# Fuzzing: each libFuzzer target over the ASIO message decoding and the
# settings-file value mapping, for a bounded time (scripts/fuzz.sh).
"$root/scripts/fuzz.sh" --seconds 30 || status=1
exit $status
