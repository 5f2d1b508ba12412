#!/usr/bin/env bash
# Cross-builds the Windows half of the platform layer with mingw-w64 and runs
# its check (tests/windows) under Wine: headless, in a Wine prefix of its own
# that is made fresh and removed afterwards.
#   windows-check.sh [build-dir]    (default: build-windows/ at the top of the tree)
# Fails, never skips, when mingw-w64 or Wine is missing: scripts/install-deps.sh
# --test installs both.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-windows}")

missing=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=("x86_64-w64-mingw32-g++-posix (package g++-mingw-w64-x86-64-posix)")
command -v wine >/dev/null || missing+=("wine (packages wine and wine64)")
command -v wineserver >/dev/null || missing+=("wineserver (package wine)")
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "windows-check: cannot check the Windows half, missing: ${missing[*]}" >&2
  echo "windows-check: install them with scripts/install-deps.sh --test" >&2
  exit 1
fi

mkdir -p "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
  -DQUORLIN_PLATFORM_ONLY=ON -DQUORLIN_WERROR=ON > "$build/configure.log" 2>&1 \
  || { cat "$build/configure.log" >&2; exit 1; }
cmake --build "$build" --target win_platform_check

# A 64-bit prefix needs no display: nothing here opens a window. Mono and
# Gecko are left out, so that making the prefix neither asks for them nor
# tries to fetch them.
prefix=$(mktemp -d "$build/wineprefix.XXXXXX")
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
trap 'wineserver -k 2>/dev/null || true; rm -rf "$prefix"' EXIT

# Wine's own notes about the new prefix go to its log; the check's lines and
# its closing "N passed, N failed" go to the output.
timeout 600 wine "$build/tests/windows/win_platform_check.exe" 2> "$prefix.log" \
  || { status=$?; cat "$prefix.log" >&2; rm -f "$prefix.log"; exit "$status"; }
rm -f "$prefix.log"
