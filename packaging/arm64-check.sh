#!/bin/bash
# The show on 64-bit ARM (packaging/arm64-check.sh [OUT], as root, after
# packaging/clean-root-build.sh OUT): in OUT/root, the clean root that built the package,
# Debian's cross compiler and the arm64 libraries (multiarch) are installed, the source
# package's tree is cross-built for arm64 (packaging/aarch64-linux-gnu.cmake, with warnings
# as errors), and its capture tool, run under qemu-aarch64 (qemu-user-static), must draw
# the same frames at a quarter, half and three quarters of every part, byte for byte, as
# the x86-64 build of the package, and print the same show_hash for the whole show.
# ZARVELIN_ARM64_HASH=0 skips the whole show's hash (1 to 5 minutes under qemu).
# (In braces: bash reads the whole script before it runs, so editing it meanwhile is safe.)
{
set -euo pipefail
shopt -s inherit_errexit
src=$(cd "$(dirname "$0")/.." && pwd)
out=$(cd "${1:-$src/build-clean-root}" && pwd)
root=$out/root
start=$SECONDS
fail() {
  echo "arm64: FAILED: $*" >&2
  exit 1
}
[ -d "$root/build/one/src/obj-x86_64-linux-gnu" ] || fail "no package build in $root (run packaging/clean-root-build.sh first)"
qemu=$(command -v qemu-aarch64-static) || fail "qemu-aarch64-static is missing (Debian's qemu-user-static)"

mountpoint -q "$root/proc" || mount -t proc proc "$root/proc"
trap 'umount "$root/proc" 2>/dev/null || true' EXIT
in_root() {
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$@"
}
# The host's converter and icon tool first: libsdl1.2-dev:arm64 cannot be installed beside
# the amd64 one, which their configuration wants.
build_start=$SECONDS
tree=/build/one/src
in_root sh -c "cmake -S $tree -B /build/arm64/host -DZARVELIN_TESTS=OFF >/dev/null &&
  cmake --build /build/arm64/host -j2 --target assetconv icon >/dev/null" >"$out/arm64-build.log" 2>&1 ||
  { tail -n 30 "$out/arm64-build.log" >&2; fail "the host tools did not build (see $out/arm64-build.log)"; }
echo "arm64: host tools built in $((SECONDS - build_start)) s"

apt_start=$SECONDS
in_root dpkg --add-architecture arm64
in_root apt-get -o DPkg::Lock::Timeout=900 update >/dev/null
in_root apt-get -o DPkg::Lock::Timeout=900 -y --no-install-recommends install g++-aarch64-linux-gnu \
  libsdl1.2-dev:arm64 libopenmpt-dev:arm64 libpng-dev:arm64 >"$out/arm64-apt.log" 2>&1 ||
  { tail -n 20 "$out/arm64-apt.log" >&2; fail "the arm64 packages did not install"; }
cp "$qemu" "$root/usr/bin/qemu-aarch64-static"
echo "arm64: cross compiler and arm64 libraries installed in $((SECONDS - apt_start)) s"

build_start=$SECONDS
in_root sh -c "cmake -S $tree -B /build/arm64/cross -DCMAKE_TOOLCHAIN_FILE=$tree/packaging/aarch64-linux-gnu.cmake \
    -DZARVELIN_ASSETCONV=/build/arm64/host/tools/assetconv -DCMAKE_BUILD_TYPE=Release \
    -DZARVELIN_TESTS=OFF -DZARVELIN_WERROR=ON >/dev/null &&
  cmake --build /build/arm64/cross -j2" >>"$out/arm64-build.log" 2>&1 ||
  { tail -n 30 "$out/arm64-build.log" >&2; fail "the arm64 build failed (see $out/arm64-build.log)"; }
file_type=$(od -An -j18 -N2 -tu2 "$root/build/arm64/cross/zarvelin-capture" | tr -d ' ')
[ "$file_type" = 183 ] || fail "zarvelin-capture is not an arm64 program (ELF machine $file_type)"
echo "arm64: cross-built in $((SECONDS - build_start)) s"

native=$tree/obj-x86_64-linux-gnu/zarvelin-capture
arm=/build/arm64/cross/zarvelin-capture
in_root "$native" --list --quiet >"$out/arm64-frames.list"
at=$(awk '$1 == "frame" { p = $4; t = $6; if (!(p in first)) first[p] = t; last[p] = t }
  END { for (p in first) for (k = 1; k <= 3; k++)
          s = s (s == "" ? "" : ",") p ":" int((first[p] + (last[p] - first[p]) * k / 4) / 20) * 20
        print s }' "$out/arm64-frames.list")
rm -rf "$root/build/arm64/frames-x86_64" "$root/build/arm64/frames-arm64"
in_root "$native" --step 20 --at "$at" --out /build/arm64/frames-x86_64 --quiet >/dev/null
frames_start=$SECONDS
in_root qemu-aarch64-static "$arm" --step 20 --at "$at" --out /build/arm64/frames-arm64 --quiet >/dev/null
count=0
for raw in "$root"/build/arm64/frames-x86_64/*.raw; do
  cmp "$raw" "$root/build/arm64/frames-arm64/$(basename "$raw")" || fail "frame $(basename "$raw") differs"
  count=$((count + 1))
done
[ "$count" -eq 24 ] || fail "only $count frames compared"
echo "arm64: $count frames (3 of every part) identical to x86-64's ($((SECONDS - frames_start)) s under qemu)"

if [ "${ZARVELIN_ARM64_HASH:-1}" = 1 ]; then
  hash_start=$SECONDS
  hash_x86=$(in_root "$native" --bench --quiet | sed -n 's/.*show_hash //p')
  hash_arm=$(in_root qemu-aarch64-static "$arm" --bench --quiet | sed -n 's/.*show_hash //p')
  [ -n "$hash_x86" ] && [ "$hash_x86" = "$hash_arm" ] || fail "show_hash $hash_arm, on x86-64 $hash_x86"
  echo "arm64: show_hash $hash_arm as on x86-64 ($((SECONDS - hash_start)) s)"
fi
echo "arm64: done in $((SECONDS - start)) s"
exit
}
