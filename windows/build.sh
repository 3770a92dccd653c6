#!/bin/bash
# Builds the Windows edition into BUILD (windows/build.sh [BUILD] [CMAKE OPTIONS]; BUILD
# defaults to build-windows): the libraries from Debian's source packages (windows/deps.sh,
# into BUILD/deps, built once), the host's asset converter and icon tools in BUILD/host, then both
# programs cross-compiled with mingw-w64 and packed into BUILD/zarvelin-<version>-win64.zip.
# Further arguments go to the programs' CMake configuration (e.g. -DZARVELIN_WERROR=ON).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build-windows}
[ $# -gt 0 ] && shift
mkdir -p "$out" && out=$(cd "$out" && pwd)

"$root/windows/deps.sh" "$out/deps"
cmake -S "$root" -B "$out/host" -DZARVELIN_TESTS=OFF >/dev/null
cmake --build "$out/host" -j2 --target assetconv icon ico_pack
cmake -S "$root" -B "$out" -DCMAKE_TOOLCHAIN_FILE="$root/windows/mingw-w64-x86_64.cmake" \
  -DZARVELIN_WINDOWS_DEPS="$out/deps" -DZARVELIN_ASSETCONV="$out/host/tools/assetconv" \
  -DCMAKE_BUILD_TYPE=Release -DZARVELIN_TESTS=OFF "$@" >/dev/null
cmake --build "$out" -j2
ls "$out"/zarvelin-*-win64.zip
