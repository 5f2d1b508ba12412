#!/usr/bin/env bash
# Builds the libFuzzer targets of tools/fuzz with clang (into build-fuzz/) and
# runs each for a bounded time, printing how many inputs it tried. A crash or a
# wrong decoding stops the run and fails the script; libFuzzer then leaves the
# input that did it in the current directory.
#
#   scripts/fuzz.sh                 30 s per target
#   scripts/fuzz.sh --seconds N     N s per target
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

seconds=30
while [[ $# -gt 0 ]]; do
  case "$1" in
    --seconds) seconds=$2; shift ;;
    *) echo "usage: $0 [--seconds N]" >&2; exit 2 ;;
  esac
  shift
done

# clang and its runtime libraries (libFuzzer, the sanitizers) from Debian.
missing=()
for package in clang libclang-rt-14-dev cmake ninja-build qt6-base-dev; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
    || missing+=("$package")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  sudo=()
  [[ $(id -u) -ne 0 ]] && sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$root/tools/fuzz" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$root/build-fuzz" >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for target in fuzz_asio_message fuzz_ini_values fuzz_remote_request; do
  mkdir -p "$scratch/$target"
  cp "$root/tools/fuzz/seeds/${target#fuzz_}"/* "$scratch/$target/"
  log=$scratch/$target.log
  if "$root/build-fuzz/$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    "$scratch/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    corpus=$(ls "$scratch/$target" | wc -l)
    echo "$target: $runs inputs in $seconds s, no failure ($corpus inputs kept in its corpus)"
  else
    status=1
    echo "$target: FAILED" >&2
    tail -n 40 "$log" >&2
  fi
done
exit $status
