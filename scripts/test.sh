#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite through ctest,
# with the Windows half of the platform layer cross-built and run under Wine
# (test win_platform_check, built in build/build-windows). Then the suite runs
# once more in build-sanitize/, built with AddressSanitizer and
# UndefinedBehaviorSanitizer (QUORLIN_SANITIZE); any report fails it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --test
# The Windows program's test (windows_app) runs where Qt for Windows is built.
windows_qt=$("$root/scripts/windows-build.sh" --qt-prefix 2>/dev/null) && windows_app=yes || windows_app=no
windows_app_note() {
  [[ $windows_app == no ]] || return 0
  echo "NOTE: windows_app (the Windows program under Wine) is not run: there is no Qt for Windows"
  echo "      in ${windows_qt:-the cache}. Build it once with scripts/windows-build.sh (about an hour"
  echo "      on two cores); the test command then runs windows_app too."
}
trap windows_app_note EXIT
[[ $windows_app == no ]] || "$root/scripts/install-deps.sh" --windows
"$root/scripts/build.sh"
# Most tests wait on timers, sockets and child processes rather than on the
# CPU, so four run at once even on two cores.
(cd "$root/build" && ctest --output-on-failure --parallel 4)

cmake -S "$root" -B "$root/build-sanitize" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORLIN_WERROR=ON -DQUORLIN_SANITIZE=ON -DQUORLIN_BUILD_BENCH=OFF
cmake --build "$root/build-sanitize" --parallel
cd "$root/build-sanitize"
# The Windows checks are not built with the sanitizers; they ran above.
ctest --output-on-failure --parallel 4 -E 'win_platform_check|windows_app'
