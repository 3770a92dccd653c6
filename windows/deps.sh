#!/bin/bash
# Builds the Windows edition's libraries for x86_64-w64-mingw32 from Debian's own source
# packages into DEPS (windows/deps.sh DEPS): SDL 1.2 as SDL.dll, libopenmpt and libpng as
# static libraries (zlib comes from Debian's libz-mingw-w64-dev). Each library leaves a stamp
# naming its source version; a second run with the same versions rebuilds nothing.
set -euo pipefail
shopt -s inherit_errexit
deps=${1:?usage: windows/deps.sh DEPS}
mkdir -p "$deps" && deps=$(cd "$deps" && pwd)
host=x86_64-w64-mingw32
jobs=${ZARVELIN_JOBS:-2}
prefix=$deps/prefix
mkdir -p "$deps/src" "$deps/stamps" "$prefix"

# Debian's mingw-w64 with POSIX threads (std::thread, std::mutex) and the tools to fetch and
# unpack source packages, and python3, which packs the zip; installed only when missing.
need=()
for pkg in g++-mingw-w64-x86-64-posix libz-mingw-w64-dev dpkg-dev make pkg-config python3; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'ok installed' || need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${need[@]}"
fi

# Source packages come from the archive apt already uses for binaries: a deb-src twin of
# each of its Debian entries, added once.
has_deb_src() {
  grep -qsE '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' \
    /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources
}
if ! has_deb_src; then
  list=/etc/apt/sources.list.d/zarvelin-deb-src.sources
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$list"
  elif grep -qsE '^deb[[:space:]]' /etc/apt/sources.list; then
    list=/etc/apt/sources.list.d/zarvelin-deb-src.list
    sed -nE 's/^deb([[:space:]])/deb-src\1/p' /etc/apt/sources.list >"$list"
  else
    echo "deps.sh: no Debian archive in apt's sources to take source packages from" >&2
    exit 1
  fi
  echo "deps.sh: added $list"
  apt-get update
fi

# Unpacks source package $1 into src/ (once per version) and prints its folder: the newest
# version the archive serves (an index can list a version before its files arrive).
fetch() {
  local pkg=$1 version dir dl
  for version in $(apt-cache showsrc --only-source "$pkg" | sed -n 's/^Version: //p' | sort -rV); do
    dir=$deps/src/$pkg-$version
    if [ -f "$dir/.unpacked" ]; then
      echo "$dir"
      return
    fi
    dl=$deps/src/dl-$pkg
    rm -rf "$dir" "$dl" && mkdir -p "$dl"
    if (cd "$dl" && apt-get source -q "$pkg=$version") >"$deps/src/$pkg.log" 2>&1; then
      mv "$(find "$dl" -mindepth 1 -maxdepth 1 -type d | head -n 1)" "$dir"
      rm -rf "$dl"
      touch "$dir/.unpacked"
      echo "$dir"
      return
    fi
    echo "deps.sh: source of $pkg $version not served, trying an older one" >&2
  done
  echo "deps.sh: no source package $pkg (see $deps/src/$pkg.log)" >&2
  return 1
}

# Runs $2... in a fresh build folder for package $1 unless its stamp names the same source
# and the same recipe (raise it when the flags below change).
recipe=r2
build() {
  local pkg=$1 dir stamp
  shift
  dir=$(fetch "$pkg")
  stamp=$deps/stamps/$pkg
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(basename "$dir") $recipe" ]; then
    echo "deps.sh: $(basename "$dir") already built"
    return
  fi
  echo "deps.sh: building $(basename "$dir")"
  local start=$SECONDS
  rm -rf "$deps/build-$pkg" && mkdir -p "$deps/build-$pkg"
  if ! (cd "$deps/build-$pkg" && "$@" "$dir"); then
    local log
    log=$(ls -t "$deps/build-$pkg"/*.log | head -n 1)
    tail -n 40 "$log" >&2
    echo "deps.sh: building $(basename "$dir") failed (see $log)" >&2
    exit 1
  fi
  echo "$(basename "$dir") $recipe" >"$stamp"
  echo "deps.sh: $(basename "$dir") built in $((SECONDS - start)) s"
}

export CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-ar RANLIB=$host-ranlib STRIP=$host-strip
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=
# The same bytes from any folder at any time: source paths (assertions' file names) relative
# to the deps folder, and no link time in SDL.dll's header.
flags="-O2 -ffile-prefix-map=$deps=."
ldflags=-Wl,--no-insert-timestamp

# SDL 1.2 as a DLL: the LGPL lets a user put another SDL.dll beside the program. Standard
# output stays on the console instead of going to stdout.txt.
build_sdl() {
  "$1/configure" --host=$host --prefix="$prefix" --disable-stdio-redirect --disable-static \
    CFLAGS="$flags" LDFLAGS="$ldflags" >configure.log 2>&1
  make -j"$jobs" >make.log 2>&1
  make install >install.log 2>&1
}

# libopenmpt without any optional decoder or player: the show's module needs none of them.
build_openmpt() {
  "$1/configure" --host=$host --prefix="$prefix" --enable-static --disable-shared \
    --disable-openmpt123 --disable-examples --disable-tests --disable-doxygen-doc \
    --without-zlib --without-mpg123 --without-ogg --without-vorbis --without-vorbisfile \
    --without-pulseaudio --without-portaudio --without-portaudiocpp --without-sndfile --without-flac \
    CXXFLAGS="$flags" CFLAGS="$flags" >configure.log 2>&1
  make -j"$jobs" >make.log 2>&1
  make install >install.log 2>&1
}

# libpng for the capture tool's pictures, over the mingw zlib.
build_png() {
  "$1/configure" --host=$host --prefix="$prefix" --enable-static --disable-shared \
    --disable-tools CFLAGS="$flags" >configure.log 2>&1
  make -j"$jobs" >make.log 2>&1
  make install >install.log 2>&1
}

build libsdl1.2 build_sdl
build libopenmpt build_openmpt
build libpng1.6 build_png

# The licence of everything that goes into the programs, for the zip: the three libraries
# from their sources, and from Debian's records zlib, the mingw-w64 runtime with winpthreads,
# and GCC's runtime (libstdc++, libgcc).
licenses=$prefix/share/licenses
mkdir -p "$licenses"
cp "$(fetch libsdl1.2)/COPYING" "$licenses/SDL.txt"
cp "$(fetch libopenmpt)/LICENSE" "$licenses/libopenmpt.txt"
cp "$(fetch libpng1.6)/LICENSE" "$licenses/libpng.txt"
cp /usr/share/doc/libz-mingw-w64-dev/copyright "$licenses/zlib.txt"
cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$licenses/mingw-w64.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$licenses/gcc-runtime.txt"
