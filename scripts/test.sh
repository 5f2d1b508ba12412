#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite through ctest,
# with the Windows half of the platform layer cross-built and run under Wine
# (test win_platform_check, built in build/build-windows).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --test
"$root/scripts/build.sh"
cd "$root/build"
ctest --output-on-failure --parallel 2
