#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need,
# skipping what is already there. Runs apt-get as root (or through sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build
  qt6-base-dev qt6-base-private-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools linguist-qt6
  libgl-dev
  fonts-dejavu-core fonts-wqy-microhei
)
case "${1:-}" in
  # The Windows half of the platform layer is cross-built and run under Wine;
  # the desktop test needs a tray and the session and accessibility buses a
  # screen reader uses.
  --test) packages+=(g++-mingw-w64-x86-64 wine wine64 xvfb xauth twm trayer xdotool x11-utils
    dbus-x11 at-spi2-core python3-pyatspi) ;;
  # The Windows program: Qt for Windows built from Debian's source with
  # mingw-w64, a setup program made with NSIS, and its test under Wine on a
  # private desktop (windows_app), with a Chinese locale made privately.
  --windows) packages+=(g++-mingw-w64-x86-64-posix dpkg-dev nsis wine wine64 locales
    xvfb xauth twm trayer xdotool x11-utils imagemagick) ;;
  --package) packages+=(dpkg-dev debootstrap) ;;
  # A fresh Debian 12 system, where the project installs its own packages.
  --fresh-root) packages=(debootstrap git) ;;
  --demo) packages+=(xvfb xauth) ;;
  --screenshot) packages+=(xvfb xauth twm trayer xdotool imagemagick x11-utils) ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
    || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
