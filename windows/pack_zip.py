#!/usr/bin/env python3
"""Packs folder DIR into ZIP with the same bytes from any build: entries in name order under
DIR's own name, every time stamp at EPOCH (seconds), fixed permissions and no owner. With
--date, prints the build's date: SOURCE_DATE_EPOCH, else the date of the newest entry of
CHANGELOG (debian/changelog).

    python3 windows/pack_zip.py ZIP DIR EPOCH
    python3 windows/pack_zip.py --date CHANGELOG
"""
import email.utils
import os
import sys
import time
import zipfile


def source_date(changelog):
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    with open(changelog, encoding="utf-8") as f:
        for line in f:
            if line.startswith(" -- "):
                return int(email.utils.parsedate_to_datetime(line.split("  ", 1)[1]).timestamp())
    sys.exit(f"pack_zip: no date in {changelog}")


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--date":
        print(source_date(sys.argv[2]))
        return
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    out, folder, epoch = sys.argv[1:]
    # A zip holds local time without a zone: the UTC time is written (1980 at the earliest).
    stamp = time.gmtime(max(int(epoch), 315532800))[:6]
    base = os.path.dirname(os.path.abspath(folder))
    paths = []
    for top, dirs, files in os.walk(folder):
        paths += [os.path.join(top, d) + "/" for d in dirs] + [os.path.join(top, f) for f in files]
    paths.append(folder.rstrip("/") + "/")
    with zipfile.ZipFile(out + ".partial", "w") as zip_file:
        for path in sorted(os.path.relpath(p, base) + ("/" if p.endswith("/") else "") for p in paths):
            info = zipfile.ZipInfo(path, stamp)
            info.create_system = 3
            if path.endswith("/"):
                info.external_attr = (0o40755 << 16) | 0x10
                zip_file.writestr(info, b"")
            else:
                info.external_attr = 0o100644 << 16
                info.compress_type = zipfile.ZIP_DEFLATED
                with open(os.path.join(base, path), "rb") as f:
                    zip_file.writestr(info, f.read(), compresslevel=9)
    os.replace(out + ".partial", out)


if __name__ == "__main__":
    main()
