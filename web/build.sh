#!/bin/sh
# Builds the web edition into BUILD/web (BUILD defaults to build-web): first the host's
# asset converter and icon tool, then the page with Debian's emscripten. Further arguments
# go to the page's CMake configuration (e.g. -DZARVELIN_WERROR=ON).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build-web}
[ $# -gt 0 ] && shift
mkdir -p "$out" && out=$(cd "$out" && pwd)
# Debian's emscripten finds its JavaScript modules (acorn) through NODE_PATH.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
cmake -S "$root" -B "$out/host" -DZARVELIN_TESTS=OFF >/dev/null
cmake --build "$out/host" -j2 --target assetconv icon
emcmake cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=Release -DZARVELIN_ASSETCONV="$out/host/tools/assetconv" "$@" >/dev/null
cmake --build "$out" -j2
echo "web edition: $out/web"
