#!/bin/sh
# Checks the AppStream metainfo and the desktop entry with their validators: any error,
# warning or note fails. Installs the two checkers from Debian's archive. (The package
# itself is checked by lintian in packaging/clean-root-build.sh.)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
DEBIAN_FRONTEND=noninteractive apt-get install -o DPkg::Lock::Timeout=900 -y --no-install-recommends \
  appstream desktop-file-utils >/dev/null
appstreamcli validate --no-net --strict "$root"/packaging/*.metainfo.xml
desktop-file-validate "$root"/packaging/*.desktop
echo "metainfo and desktop entry: clean"
