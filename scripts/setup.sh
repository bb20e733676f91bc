#!/usr/bin/env bash
# Installs the Debian 12 packages Quillon needs to build, test and render its exports, where missing.
set -euo pipefail

# povray-includes holds shapes.inc, colors.inc and textures.inc, which every
# exported scene includes: POV-Ray without it cannot render an export.
# libpng-dev, ffmpeg, parallel, xvfb and xauth: the PNG writer, the movie
# export, the render-farm test and the tests under a real X server.
# appstream, desktop-file-utils and groff-base: the checkers the tests run on
# the metainfo, the desktop entry and the manual pages.
PACKAGES=(build-essential cmake ninja-build qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev libmpfr-dev pkgconf povray povray-includes libpng-dev ffmpeg parallel xvfb xauth
          locales xdg-utils appstream desktop-file-utils groff-base)

# shellcheck source=scripts/lib/packages.sh
source "$(dirname "$0")/lib/packages.sh"
install_missing_packages "${PACKAGES[@]}"

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# The number formats are tested under a comma locale and under one whose
# decimal separator is a two-byte character (U+066B in ps_AF). The tests
# fail, not skip, when a locale is missing, so a failure here stops the run.
for loc in de_DE ps_AF; do
  if ! locale -a 2>/dev/null | grep -qi "^$loc\.utf-\?8$"; then
    $SUDO localedef -i "$loc" -f UTF-8 "$loc.UTF-8"
  fi
done
