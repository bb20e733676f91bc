#!/usr/bin/env bash
# Builds Quillon in Release and makes its Debian package, build/quillon_<version>_amd64.deb,
# after checking the desktop entry, the AppStream metainfo and the manual pages. Installs the
# Debian packages it needs where missing, through sudo when not run as root. Then:
#   sudo apt install ./build/quillon_<version>_amd64.deb
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"

# The build (MPFR found through pkg-config), dpkg-shlibdeps (dpkg-dev) and file, which CPack uses to find the
# binaries and their libraries, and the checkers of the desktop files.
PACKAGES=(build-essential cmake ninja-build qt6-base-dev libgl-dev libpng-dev libmpfr-dev pkgconf dpkg-dev file
          appstream desktop-file-utils groff-base)
# shellcheck source=scripts/lib/packages.sh
source "$ROOT/scripts/lib/packages.sh"
install_missing_packages "${PACKAGES[@]}"

# What a software centre and the menus read must pass their own checkers.
desktop-file-validate "$ROOT/data/quillon.desktop"
appstreamcli validate --no-net "$ROOT"/data/*.metainfo.xml
for page in "$ROOT"/data/man/*.1; do
  warnings=$(groff -man -ww -z "$page" 2>&1)
  [ -z "$warnings" ] || { echo "$page: $warnings"; exit 1; }
done

BUILD="$ROOT/build"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DQUILLON_BUILD_TESTS=OFF -DQUILLON_BUILD_BENCH=OFF -DQUILLON_BUILD_SOAK=OFF > /dev/null
ninja -C "$BUILD" -j"$(nproc)"
rm -f "$BUILD"/quillon_*.deb
(cd "$BUILD" && cpack -G DEB > /dev/null)
deb=$(ls "$BUILD"/quillon_*.deb)
dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Depends\|Recommends\):/\1:/p'
echo "$deb"
