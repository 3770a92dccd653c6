#!/bin/sh
# Builds the Debian package BUILD/zarvelin_<version>_<arch>.deb (BUILD defaults to build-deb):
# a Release build for /usr with Debian's hardening flags from dpkg-buildflags, packed by
# cpack. Further arguments go to the CMake configuration (e.g. -DZARVELIN_WERROR=ON).
# The flags follow dpkg-buildflags' own settings (DEB_BUILD_MAINT_OPTIONS,
# DEB_CXXFLAGS_APPEND, ...); by default every hardening feature is on.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-deb}
[ $# -gt 0 ] && shift
mkdir -p "$build" && build=$(cd "$build" && pwd)
cd "$root" # dpkg-buildflags maps the source folder's path away from the binaries
export DEB_BUILD_MAINT_OPTIONS="${DEB_BUILD_MAINT_OPTIONS:-hardening=+all}"
# CMake reads no CPPFLAGS, so the preprocessor's flags (_FORTIFY_SOURCE) join CXXFLAGS.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DZARVELIN_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" "$@"
cmake --build "$build" -j2
(cd "$build" && cpack -G DEB)
