#!/usr/bin/env bash
# Configures and builds the project into build/ (warnings are errors).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORLIN_WERROR=ON
cmake --build "$root/build" --parallel
