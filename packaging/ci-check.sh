#!/bin/sh
# Checks the Debian package BUILD/zarvelin_*.deb (from build-deb.sh) with Debian's lintian,
# and the AppStream metainfo and desktop entry with their validators: any error, warning
# or lintian note fails. Installs the three checkers from Debian's archive.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-deb}
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends lintian appstream desktop-file-utils >/dev/null
lintian --fail-on error,warning,info --display-info "$build"/zarvelin_*.deb
appstreamcli validate --no-net --strict "$root"/packaging/*.metainfo.xml
desktop-file-validate "$root"/packaging/*.desktop
echo "package, metainfo and desktop entry: clean"
