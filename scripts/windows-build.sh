#!/usr/bin/env bash
# Builds the panel as a Windows program on Debian, with mingw-w64:
#   1. Qt for Windows, once, from Debian's own qt6-base source, into a cache
#      outside the work tree (reused while its version and options stay the same);
#   2. the whole product with that Qt (the same CMake project and sources);
#   3. a deploy folder with exactly what the program needs to run;
#   4. a setup program made with NSIS (makensis).
# The last line printed is the setup program's path.
#
#   windows-build.sh [build-dir]       everything; build-dir defaults to build-win/
#   windows-build.sh --qt-only         step 1 only; prints the Qt prefix
#   windows-build.sh --qt-prefix       prints the Qt prefix and succeeds only
#                                      when that Qt is built (builds nothing)
#
# In build-dir: product/ (the CMake build), deploy/ (the program's folder),
# nsis/ and QuorlinDriver-<version>-setup.exe.
#
# Environment:
#   QUORLIN_WINDOWS_QT         a Qt for Windows (mingw-w64, x86_64) to use
#                              instead of building one
#   QUORLIN_QT_WINDOWS_CACHE   where built Qts are kept (default
#                              /var/cache/quorlin-qt-windows); one per Qt
#                              version and set of options, shared by all clones
#   QUORLIN_JOBS               parallel build jobs (default 2)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=all
case ${1:-} in
  --qt-only) mode=qt && shift ;;
  --qt-prefix) mode=prefix && shift ;;
esac
build=$(realpath -m "${1:-$root/build-win}")
jobs=${QUORLIN_JOBS:-2}
cache_root=${QUORLIN_QT_WINDOWS_CACHE:-/var/cache/quorlin-qt-windows}
mingw=x86_64-w64-mingw32

log() { echo "windows-build: $*" >&2; }
die() {
  log "$*"
  exit 1
}

if [[ $mode != prefix ]]; then
  "$root/scripts/install-deps.sh" --windows >&2
fi

# --- 1. Qt for Windows ---------------------------------------------------
# The host's Qt (moc, rcc, uic, lrelease) serves the cross build, so the
# Windows Qt must be the host's version.
qt_version=$(dpkg-query -W -f '${source:Upstream-Version}' qt6-base-dev 2>/dev/null | sed 's/+.*//') \
  || die "qt6-base-dev is not installed"

# Modules: Core, Gui, Widgets, Network (quorlinctl's local socket) and the
# `windows` platform plugin with the windowsvista style. Left out: what the
# product does not use. Debian's source lacks wintab, hence no tablet events;
# in 6.4 the windows plugin needs OpenGL, so Qt keeps its dynamic OpenGL.
# Third-party libraries are Qt's bundled ones, so that nothing from the
# mingw-w64 sysroot (zlib1.dll) has to be shipped.
qt_options=(
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF
  -DQT_BUILD_TESTS=OFF
  -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_sql=OFF
  -DFEATURE_printsupport=OFF
  -DFEATURE_dbus=OFF
  -DFEATURE_testlib=OFF
  -DFEATURE_xml=OFF
  -DFEATURE_openssl=OFF
  -DFEATURE_opengl_dynamic=ON
  -DINPUT_opengl=dynamic
  -DFEATURE_tabletevent=OFF
  -DFEATURE_accessibility=ON
  -DFEATURE_direct2d=OFF
  -DFEATURE_tuiotouch=OFF
  -DFEATURE_jpeg=OFF
  -DFEATURE_gif=OFF
  -DFEATURE_system_zlib=OFF
  -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_png=OFF
  -DFEATURE_system_freetype=OFF
  -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_doubleconversion=OFF
)
compiler_version=$($mingw-g++-posix --version 2>/dev/null | head -1) || die "no $mingw-g++-posix"
options_hash=$(printf '%s\n' "$compiler_version" "${qt_options[@]}" | sha256sum | cut -c1-10)
qt_prefix=$cache_root/$qt_version-$options_hash
qt_built_mark=quorlin-qt-build.txt
if [[ -n ${QUORLIN_WINDOWS_QT:-} ]]; then
  qt_prefix=$(realpath -m "$QUORLIN_WINDOWS_QT")
  qt_given=1
fi
if [[ $mode == prefix ]]; then
  echo "$qt_prefix"
  [[ -f $qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake ]] && [[ -n ${qt_given:-} || -f $qt_prefix/$qt_built_mark ]]
  exit
fi

# Debian's qt6-base source, fetched with apt from the archives apt is already
# configured with: a private apt configuration adds deb-src lines for the same
# URIs, with its own lists and cache, and the system's is left as it is.
fetch_qt_source() {
  local dest=$1
  local aptdir=$dest/apt
  mkdir -p "$aptdir/sources.list.d" "$aptdir/lists/partial" "$aptdir/cache/archives/partial"
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -e $f ]] || continue
    sed -E 's/^Types:.*/Types: deb-src/' "$f" > "$aptdir/sources.list.d/$(basename "$f")"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -e $f ]] || continue
    sed -nE 's/^[[:space:]]*deb[[:space:]]+/deb-src /p' "$f" >> "$aptdir/sources.list.d/derived.list"
  done
  local apt_opts=(
    -o Dir::Etc::sourcelist="$aptdir/sources.list.d/derived.list"
    -o Dir::Etc::sourceparts="$aptdir/sources.list.d"
    -o Dir::State::Lists="$aptdir/lists"
    -o Dir::Cache="$aptdir/cache"
    -o APT::Sandbox::User=root
  )
  touch "$aptdir/sources.list.d/derived.list"
  apt-get "${apt_opts[@]}" update >&2
  (cd "$dest" && apt-get "${apt_opts[@]}" source "qt6-base=$(dpkg-query -W -f '${source:Version}' qt6-base-dev)" >&2)
}

build_qt() {
  local work=$cache_root/work-$qt_version-$options_hash
  log "building Qt $qt_version for Windows into $qt_prefix (once; about 30 minutes on two cores)"
  local srcdir
  srcdir=$(find "$work/src" -maxdepth 1 -type d -name 'qt6-base-*' 2>/dev/null | head -1)
  if [[ -z $srcdir ]]; then
    rm -rf "$work"
    mkdir -p "$work/src"
    date +%s > "$work/started"
    fetch_qt_source "$work/src"
    srcdir=$(find "$work/src" -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
  fi
  [[ -n $srcdir ]] || die "apt-get source qt6-base gave no source tree"
  # Without Direct2D, 6.4's windows plugin does not link: it is told so.
  if [[ ! -f $srcdir/.quorlin-patched ]]; then
    patch -d "$srcdir" -p1 --forward < "$root/packaging/windows/qt6-base-directwrite-without-direct2d.patch" >&2
    touch "$srcdir/.quorlin-patched"
  fi
  # The build's wall time counts from its first start, fetch included.
  [[ -f $work/started ]] || date +%s > "$work/started"
  # Qt's own toolchain file records this one; the product's build chains
  # cmake/toolchain-mingw64.cmake instead (QT_CHAINLOAD_TOOLCHAIN_FILE).
  [[ -f $work/toolchain.cmake ]] || cat > "$work/toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
  # An interrupted build carries on where it stopped: the work directory is
  # the options' own.
  [[ -f $work/build/build.ninja ]] || cmake -S "$srcdir" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
    -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
    "${qt_options[@]}" > "$work/configure.log" 2>&1 \
    || { tail -50 "$work/configure.log" >&2; die "Qt configure failed, see $work/configure.log"; }
  cmake --build "$work/build" --parallel "$jobs" \
    || die "Qt build failed, see $work/build"
  rm -rf "$qt_prefix"
  cmake --install "$work/build" > "$work/install.log"
  # The mingw runtime the Qt DLLs were built against goes with them.
  local dll
  for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    cp "$($mingw-g++-posix -print-file-name="$dll")" "$qt_prefix/bin/"
  done
  local seconds=$(($(date +%s) - $(cat "$work/started")))
  printf 'qt_version=%s\nbuild_seconds=%s\ncompiler=%s\n' \
    "$qt_version" "$seconds" "$compiler_version" > "$qt_prefix/$qt_built_mark"
  printf '%s\n' "${qt_options[@]}" > "$qt_prefix/quorlin-qt-options.txt"
  rm -rf "$work"
  log "Qt for Windows built in $seconds s: $qt_prefix ($(du -sh "$qt_prefix" | cut -f1))"
}

if [[ -n ${qt_given:-} ]]; then
  [[ -f $qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake ]] || die "no Qt for Windows in $qt_prefix"
  log "using the Qt for Windows in $qt_prefix"
elif [[ -f $qt_prefix/$qt_built_mark ]]; then
  log "using the cached Qt for Windows in $qt_prefix"
else
  # One build at a time, even from two clones.
  mkdir -p "$cache_root"
  exec 9> "$cache_root/.lock"
  flock 9
  [[ -f $qt_prefix/$qt_built_mark ]] || build_qt
  flock -u 9
fi
if [[ $mode == qt ]]; then
  echo "$qt_prefix"
  exit 0
fi

# --- 2. The product ---------------------------------------------------------
# The same project and sources as on Linux: CMake picks the Windows halves of
# platform/ and adds the Windows resource. Tests and benchmarks need the
# virtual unit, which is POSIX-only.
product=$build/product
mkdir -p "$build"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
cmake -S "$root" -B "$product" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$multiarch/cmake" \
  -DQUORLIN_BUILD_TESTS=OFF -DQUORLIN_BUILD_BENCH=OFF -DQUORLIN_WERROR=ON \
  > "$build/configure.log" 2>&1 || { cat "$build/configure.log" >&2; die "configure failed"; }
cmake --build "$product" --parallel "$jobs" >&2
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$product/CMakeCache.txt")

# --- 3. The deploy folder ---------------------------------------------------
# The installed programs and translations (QuorlinDriver.exe, and quorlinctl.exe
# where the project has it), flat in one folder; the plugins Qt loads from
# beside the executable; then every DLL any of them imports, found in the Qt
# prefix or the mingw-w64 runtime (system DLLs are Windows' own). Stripped.
deploy=$build/deploy
stage=$build/stage
rm -rf "$deploy" "$stage"
mkdir -p "$deploy"
cmake --install "$product" --prefix "$stage" > /dev/null
find "$stage" -type f \( -name '*.exe' -o -name '*.qm' \) -exec cp {} "$deploy/" \;
rm -rf "$stage"
[[ -f $deploy/QuorlinDriver.exe ]] || die "the install gave no QuorlinDriver.exe"
# qwindows: the platform; qwindowsvistastyle: the native look of the settings
# dialog's boxes and of message boxes (the panels draw their own); qico: the
# icon, compiled in as icon.ico.
for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qico.dll; do
  mkdir -p "$deploy/$(dirname "$plugin")"
  cp "$qt_prefix/plugins/$plugin" "$deploy/$plugin"
done
dll_dirs=("$qt_prefix/bin" "$(dirname "$($mingw-g++-posix -print-file-name=libstdc++-6.dll)")"
  "$(dirname "$($mingw-g++-posix -print-file-name=libwinpthread-1.dll)")")
imports() { $mingw-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }
pending=("$deploy"/*.exe "$deploy"/*/*.dll)
while ((${#pending[@]} > 0)); do
  file=${pending[0]}
  pending=("${pending[@]:1}")
  while read -r dll; do
    [[ -e $deploy/$dll ]] && continue
    for dir in "${dll_dirs[@]}"; do
      if [[ -f $dir/$dll ]]; then
        cp "$dir/$dll" "$deploy/$dll"
        pending+=("$deploy/$dll")
        break
      fi
    done
  done < <(imports "$file")
done
find "$deploy" -name '*.exe' -o -name '*.dll' | xargs $mingw-strip --strip-unneeded
deploy_kb=$(du -sk "$deploy" | cut -f1)
log "deploy folder: $deploy ($((deploy_kb / 1024)) MB, $(find "$deploy" -type f | wc -l) files)"

# --- 4. The setup program ---------------------------------------------------
nsis=$build/nsis
rm -rf "$nsis"
mkdir -p "$nsis"
# The lists of what is installed and what the uninstaller removes, both from
# the deploy folder: nothing else is ever removed.
windows_path() { [[ $1 == . ]] && echo '$INSTDIR' || echo "\$INSTDIR\\${1//\//\\}"; }
(
  cd "$deploy"
  find . -type f -printf '%h\n' | sort -u | sed 's|^\./||' | while read -r dir; do
    echo "SetOutPath \"$(windows_path "$dir")\""
    find "./$dir" -maxdepth 1 -type f | sort | while read -r file; do
      echo "File \"$deploy/${file#./}\""
    done
  done
  echo 'SetOutPath "$INSTDIR"'
) | sed 's|/\./|/|' > "$nsis/files.nsh"
(
  cd "$deploy"
  find . -type f | sort | sed 's|^\./||' | while read -r file; do
    echo "Delete \"$(windows_path "$file")\""
  done
  find . -mindepth 1 -type d | sort -r | sed 's|^\./||' | while read -r dir; do
    echo "RMDir \"$(windows_path "$dir")\""
  done
) > "$nsis/unfiles.nsh"
setup=$build/QuorlinDriver-$version-setup.exe
numeric_version=$(echo "$version" | awk -F. '{ printf "%d.%d.%d", $1, $2, $3 }')
makensis -V2 -NOCD \
  -DVERSION="$numeric_version" -DFILES="$nsis" -DOUTFILE="$setup" -DSIZE_KB="$deploy_kb" \
  -DICON="$root/resources/icon/icon.ico" \
  "$root/packaging/windows/quorlin-driver.nsi" >&2
log "setup program: $(($(stat -c %s "$setup") / 1024)) kB"
echo "$setup"
