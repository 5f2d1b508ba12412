#!/usr/bin/env bash
# Builds the Debian package and proves that it installs and runs on a fresh
# Debian 12: bootstraps a minimal bookworm system into a scratch directory,
# installs the package there with apt (which resolves its Depends, without
# Recommends), then starts the installed quorlin-virtual-unit and quorlin-driver
# inside it (offscreen) in English and in Chinese and checks that the panel
# finds the unit and loads its translation. Removes the scratch system at the
# end. Needs root (debootstrap, chroot) and the Debian mirror apt already uses
# (scripts/lib/debian-root.sh builds the system); downloads about 100 MB, so it
# is not part of the test pass.
#
#   scripts/package-check.sh        (the .deb stays in build-package/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/lib/debian-root.sh"
build="$root/build-package"

if [[ $(id -u) -ne 0 ]]; then
  echo "package-check: needs root for debootstrap and chroot" >&2
  exit 1
fi
debian_mirror > /dev/null # stops here when apt has no Debian 12 source
"$root/scripts/install-deps.sh" --package

echo "== Building the package in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORLIN_WERROR=ON \
  -DQUORLIN_BUILD_TESTS=OFF -DQUORLIN_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr > /dev/null
cmake --build "$build" --parallel
rm -f "$build"/quorlin-driver_*.deb
(cd "$build" && cpack -G DEB > /dev/null)
deb=$(ls "$build"/quorlin-driver_*.deb)
dpkg-deb --field "$deb" Package Version Depends Section

debian_root_session package-check
cp "$deb" "$system/tmp/"

echo "== Installing $(basename "$deb") with apt"
chroot "$system" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
chroot "$system" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")" > "$scratch/apt.log" 2>&1 \
  || { tail -n 30 "$scratch/apt.log" >&2; exit 1; }
chroot "$system" dpkg-query -W -f='${Package} ${Version} ${Status}\n' quorlin-driver
libdir=$(chroot "$system" dpkg -L quorlin-driver | grep '/quorlin-driver$' | grep '/lib/')

# The run inside the fresh system: the installed commands only, a private home
# and runtime directory, each language in turn.
cat > "$system/tmp/run-check.sh" <<SCRIPT
#!/bin/bash
set -euo pipefail
check=/tmp/check
for file in /usr/share/applications/quorlin-driver.desktop \\
  /usr/share/icons/hicolor/256x256/apps/quorlin-driver.png /usr/bin/quorlinctl \\
  /usr/share/man/man1/quorlinctl.1.gz /usr/share/bash-completion/completions/quorlinctl; do
  [[ -s \$file ]] || { echo "FAIL: \$file is missing" >&2; exit 1; }
done
export QT_QPA_PLATFORM=offscreen QT_FORCE_STDERR_LOGGING=1
for language in en_US zh_CN; do
  export HOME=\$check/\$language/home XDG_RUNTIME_DIR=\$check/\$language/run TMPDIR=\$check/\$language/tmp
  mkdir -p "\$HOME" "\$XDG_RUNTIME_DIR" "\$TMPDIR"
  chmod 700 "\$XDG_RUNTIME_DIR"
  log=\$check/\$language/panel.log
  quorlin-virtual-unit --model vt2 --quiet < /dev/null > "\$check/\$language/unit.log" 2>&1 &
  unit=\$!
  LANG=\$language.UTF-8 LC_ALL=\$language.UTF-8 quorlin-driver > "\$log" 2>&1 &
  panel=\$!
  found=no
  for _ in \$(seq 1 300); do
    if grep -q "Device found with PID: 2" "\$log"; then found=yes; break; fi
    kill -0 "\$panel" 2>/dev/null || break
    sleep 0.1
  done
  # quorlinctl reaches the running panel.
  status=\$check/\$language/quorlinctl-status.txt
  quorlinctl status > "\$status" 2>&1 || true
  kill "\$panel" "\$unit" 2>/dev/null || true
  wait "\$panel" "\$unit" 2>/dev/null || true
  echo "--- \$language: panel log"
  sed 's/^/    /' "\$log"
  if [[ \$found != yes ]]; then
    echo "FAIL (\$language): no 'Device found with PID: 2' within 30 s" >&2
    exit 1
  fi
  if ! grep -q "成功加载翻译文件：$libdir/QuorlinDriver_\$language.qm" "\$log"; then
    echo "FAIL (\$language): $libdir/QuorlinDriver_\$language.qm was not loaded" >&2
    exit 1
  fi
  if ! grep -qx "model=VT2" "\$status"; then
    echo "FAIL (\$language): quorlinctl status did not name the VT2:" >&2
    cat "\$status" >&2
    exit 1
  fi
  echo "OK (\$language): VT2 found, QuorlinDriver_\$language.qm loaded, quorlinctl status answered"
done
SCRIPT
chmod +x "$system/tmp/run-check.sh"

echo "== Running the installed quorlin-driver against quorlin-virtual-unit"
chroot "$system" /tmp/run-check.sh
echo "== Package check passed: $(basename "$deb") installs and runs on a fresh Debian 12"
