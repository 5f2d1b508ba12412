# Debian package of the control panel: `cpack -G DEB` in a build directory
# (scripts/package-check.sh builds one and installs it on a fresh Debian 12).
#
# The package holds what `cmake --install` puts in place: the executable and
# its translations in <libdir>/quorlin-driver with the command link
# quorlin-driver, the virtual unit beside them with its link
# quorlin-virtual-unit, the desktop entry and the icon, and the console
# program /usr/bin/quorlinctl with its man page and bash completion. Its library
# dependencies come from dpkg-shlibdeps (package dpkg-dev); the Qt platform
# plugins are loaded at run time, so they are named here.

set(QUORLIN_PACKAGE_MAINTAINER "Quorlin control panel developers <maintainers@quorlin-panel.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "quorlin-driver")
set(CPACK_PACKAGE_VENDOR "Quorlin control panel developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${QUORLIN_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control panel for Quorlin VT1, VT2 and VR USB audio interfaces")
set(CPACK_PACKAGE_DESCRIPTION
    "A tray application that recognises the connected Quorlin unit by its USB
product id and shows a small mixer panel for it: input gain, pad, phantom
power and instrument switches, direct monitoring, headphone and speaker
levels with MUTE and DIM, the phone input level and live level readouts.
Every change goes to the driver at once and is kept in a per-model settings
file. A settings dialog sets the driver's buffer size, USB latency, sample
rate and USB safe mode.

quorlinctl controls the running panel from a command line, a hotkey or a
script: status, list, get and set of every control and driver option.

The package also holds quorlin-virtual-unit, a simulated unit that plays the
driver, so the panel can be tried without hardware.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")

set(CPACK_DEBIAN_PACKAGE_NAME "quorlin-driver")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUORLIN_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "sound")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Merged with what dpkg-shlibdeps finds: the xcb and offscreen platform plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The Chinese user interface needs a font with CJK glyphs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk")

include(CPack)
