#!/bin/bash
# Builds the Debian source package and its binaries in a clean Debian 12 root and checks them
# (packaging/clean-root-build.sh [OUT], default build-clean-root; as root):
#  - OUT/base: debootstrap's buildd root (essential packages and build-essential) from
#    Debian's archive, made once; every run works in a fresh copy of it.
#  - The source package from the files git knows (uncommitted edits included), then the
#    declared Build-Depends installed by apt, then dpkg-buildpackage as an unprivileged user
#    with no network.
#  - lintian --pedantic on the .dsc and the binaries: any error, warning, note or pedantic
#    tag fails.
#  - The autopkgtests (debian/tests) in another fresh copy holding only the package and
#    its dependencies.
#  - DEB_CXXFLAGS_APPEND (e.g. -Werror) reaches the builds' compiler flags.
#  - With ZARVELIN_REBUILD=1, a second build from the .dsc in another folder, under another
#    umask, time zone and locale, whose .debs must equal the first's byte for byte.
# The results go to OUT/packages: zarvelin_<version>.dsc, .tar.xz, _<arch>.deb and the
# -dbgsym .deb. The build root stays in OUT/root (packaging/arm64-check.sh uses it).
# (In braces: bash reads the whole script before it runs, so editing it meanwhile is safe.)
{
set -euo pipefail
shopt -s inherit_errexit
src=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$src/build-clean-root}
mkdir -p "$out" && out=$(cd "$out" && pwd)
mirror=${ZARVELIN_MIRROR:-http://deb.debian.org/debian}
start=$SECONDS

# Runs a command in root $1 with a plain environment (further variables before it).
in_root() {
  local root=$1
  shift
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"
}
apt_root() {
  in_root "$1" apt-get -o DPkg::Lock::Timeout=900 -y --no-install-recommends "${@:2}"
}
# A fresh copy of the base root at $1, with /proc.
fresh_root() {
  umount "$1/proc" 2>/dev/null || true
  rm -rf "$1" && cp -a "$out/base" "$1"
  mount -t proc proc "$1/proc"
}
trap 'umount "$out/root/proc" "$out/test-root/proc" 2>/dev/null || true' EXIT

if [ ! -f "$out/base/.complete" ]; then
  rm -rf "$out/base"
  debootstrap --variant=buildd bookworm "$out/base" "$mirror" >"$out/debootstrap.log" 2>&1 ||
    { tail -n 20 "$out/debootstrap.log" >&2; exit 1; }
  # dpkg without fsync and no manual page index: the root is thrown away after use.
  echo force-unsafe-io >"$out/base/etc/dpkg/dpkg.cfg.d/unsafe-io"
  echo "man-db man-db/auto-update boolean false" | chroot "$out/base" debconf-set-selections
  touch "$out/base/.complete"
  echo "clean root: debootstrap in $((SECONDS - start)) s"
fi
root=$out/root
deps_start=$SECONDS
fresh_root "$root"
apt_root "$root" update >/dev/null
in_root "$root" useradd --create-home builder

# The source tree as git knows it; permissions as a umask of 022 leaves them.
version=$(in_root "$root" dpkg-parsechangelog -l /dev/stdin -S Version <"$src/debian/changelog")
dir=/build/zarvelin-$version
mkdir -p "$root$dir"
if git -C "$src" rev-parse --show-toplevel >/dev/null 2>&1; then
  (cd "$src" && git ls-files -co --exclude-standard -z | while IFS= read -r -d '' f; do
    [ -e "$f" ] && printf '%s\0' "$f"
  done | tar -c --null -T -) | tar -x -C "$root$dir"
else
  tar -c -C "$src" --exclude='./build*' --exclude=./.git . | tar -x -C "$root$dir"
fi
chmod -R go-w,a+rX "$root/build"
in_root "$root" chown -R builder: /build
as_builder() {
  unshare -n chroot --userspec=builder:builder "$root" /usr/bin/env -i PATH=/usr/bin:/bin \
    HOME=/home/builder "$@"
}
as_builder sh -c "cd /build && dpkg-source -b zarvelin-$version" >/dev/null
rm -rf "$root$dir"
apt_root "$root" build-dep "/build/zarvelin_$version.dsc" >"$out/build-dep.log" 2>&1 ||
  { tail -n 20 "$out/build-dep.log" >&2; exit 1; }
echo "clean root: source package made, Build-Depends installed in $((SECONDS - deps_start)) s"

# Builds the .dsc in folder $1 of the root without network, with further variables $2...
build_in() {
  local folder=$1
  shift
  as_builder "$@" DEB_BUILD_OPTIONS=parallel=2 DEB_CXXFLAGS_APPEND="${DEB_CXXFLAGS_APPEND:-}" sh -c "mkdir -p $folder && cd $folder &&
    dpkg-source -x /build/zarvelin_$version.dsc src >/dev/null && cd src && dpkg-buildpackage -us -uc"
}
build_start=$SECONDS
build_in /build/one LC_ALL=C.UTF-8 TZ=UTC >"$out/build.log" 2>&1 ||
  { tail -n 40 "$out/build.log" >&2; echo "clean root: the build failed (see $out/build.log)" >&2; exit 1; }
echo "clean root: dpkg-buildpackage in $((SECONDS - build_start)) s"
rm -rf "$out/packages" && mkdir -p "$out/packages"
cp "$root"/build/one/zarvelin_"$version"* "$root"/build/one/zarvelin-dbgsym_"$version"* "$out/packages/"
ls -l "$out/packages"

# lintian of the archive's Debian 12 on everything the build made.
lint_start=$SECONDS
lintian --pedantic --fail-on error,warning,info,pedantic --display-info \
  "$out/packages/zarvelin_${version}_"*.changes
echo "clean root: lintian --pedantic found nothing ($((SECONDS - lint_start)) s)"

if [ "${ZARVELIN_REBUILD:-0}" = 1 ]; then
  again=$SECONDS
  (umask 002 && build_in /build/another/place/x LANG=fr_CH.UTF-8 TZ=Pacific/Kiritimati) \
    >"$out/rebuild.log" 2>&1 || { tail -n 40 "$out/rebuild.log" >&2; exit 1; }
  for deb in "$out"/packages/*.deb; do
    cmp "$deb" "$root/build/another/place/x/$(basename "$deb")"
  done
  echo "clean root: rebuilt in another folder, umask, time zone and locale: the same .debs ($((SECONDS - again)) s)"
fi

# The autopkgtests in a fresh root: apt installs the package and its dependencies.
test_start=$SECONDS
test_root=$out/test-root
fresh_root "$test_root"
autopkgtest "$out/packages/zarvelin_${version}_"*.deb "$out/packages/zarvelin_$version.dsc" \
  -- chroot "$test_root" >"$out/autopkgtest.log" 2>&1 ||
  { tail -n 40 "$out/autopkgtest.log" >&2; echo "clean root: autopkgtest failed (see $out/autopkgtest.log)" >&2; exit 1; }
grep -E '^[a-z]+ +(PASS|SKIP)' "$out/autopkgtest.log" | sort -u
echo "clean root: autopkgtests passed ($((SECONDS - test_start)) s)"
echo "clean root: done in $((SECONDS - start)) s"
exit
}
