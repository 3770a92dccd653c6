#!/bin/sh
# windows/pack_zip.py gives the same bytes whatever the files' times, permissions and the
# builder's umask and time zone, and stamps every entry with the newest changelog entry's
# date in UTC.
set -eu
pack=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset SOURCE_DATE_EPOCH
changelog=$work/changelog
printf 'zarvelin (1.0.1) unstable; urgency=medium\n\n  * Next.\n\n -- A <a@b.invalid>  Sat, 02 Jan 2027 10:30:00 +0100\n\nzarvelin (1.0.0) unstable; urgency=medium\n\n  * First.\n\n -- A <a@b.invalid>  Tue, 08 Dec 2026 09:00:00 +0000\n' >"$changelog"
for run in a b; do
  mkdir -p "$work/$run/app/licenses"
  for f in z.exe a.txt licenses/m.txt; do echo "$f" >"$work/$run/app/$f"; done
done
chmod 600 "$work/b/app/z.exe" && chmod 775 "$work/b/app/licenses"
touch -d '2001-02-03 04:05' "$work/b/app/a.txt"
date=$(python3 "$pack" --date "$changelog")
[ "$date" = 1798882200 ] || { echo "--date: $date"; exit 1; }
(umask 022 && TZ=UTC python3 "$pack" "$work/a.zip" "$work/a/app" "$date")
(umask 002 && TZ=Asia/Tokyo python3 "$pack" "$work/b.zip" "$work/b/app" "$date")
cmp "$work/a.zip" "$work/b.zip"
listing=$(python3 -c 'import sys, zipfile
for i in zipfile.ZipFile(sys.argv[1]).infolist(): print(i.filename, i.date_time, oct(i.external_attr >> 16))' "$work/a.zip")
expected="app/ (2027, 1, 2, 9, 30, 0) 0o40755
app/a.txt (2027, 1, 2, 9, 30, 0) 0o100644
app/licenses/ (2027, 1, 2, 9, 30, 0) 0o40755
app/licenses/m.txt (2027, 1, 2, 9, 30, 0) 0o100644
app/z.exe (2027, 1, 2, 9, 30, 0) 0o100644"
[ "$listing" = "$expected" ] || { echo "entries:"; echo "$listing"; exit 1; }
