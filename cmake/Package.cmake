# The Debian package of everything the install rules put under /usr, made by CPack:
#   cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr ... && cpack -G DEB
# scripts/package.sh does both and checks the result.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quillon developers")
set(CPACK_PACKAGE_CONTACT "The Quillon developers <quillon@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fractal explorer: Julia, Tamo, random and Mandelbrot sets")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillon opens 24 fractal windows from a launcher: five iterated-map Tamo sets, twelve Julia sets, "
    "six random-set windows with six formula types each, and the Mandelbrot set drawn by the level-set "
    "method, each computed in 80-bit extended precision. Zoom, pan, recolour through palettes (GIMP "
    "palettes and gradients included), keep views in files and PNG pictures, render large pictures and "
    "zoom movies, and export POV-Ray and RenderMan scenes. quillon-render computes the same pictures "
    "from the command line.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # quillon_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# The libraries the binaries link, found by dpkg-shlibdeps; the programs
# Quillon runs for movies, scene rendering and band renders are recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's window-system plugins, without which the desktop program shows no
# window, are only recommended by Qt's own libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg, povray, povray-includes, parallel")
include(CPack)
