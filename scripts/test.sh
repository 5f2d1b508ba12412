#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite through ctest,
# with the Windows half of the platform layer cross-built and run under Wine
# (test win_platform_check, built in build/build-windows). Then the suite runs
# once more in build-sanitize/, built with AddressSanitizer and
# UndefinedBehaviorSanitizer (QUORLIN_SANITIZE); any report fails it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --test
"$root/scripts/build.sh"
# Most tests wait on timers, sockets and child processes rather than on the
# CPU, so four run at once even on two cores.
(cd "$root/build" && ctest --output-on-failure --parallel 4)

cmake -S "$root" -B "$root/build-sanitize" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORLIN_WERROR=ON -DQUORLIN_SANITIZE=ON -DQUORLIN_BUILD_BENCH=OFF
cmake --build "$root/build-sanitize" --parallel
cd "$root/build-sanitize"
# The Windows check is not built with the sanitizers; it ran above.
ctest --output-on-failure --parallel 4 -E win_platform_check
