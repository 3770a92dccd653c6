#!/usr/bin/env python3
"""The web edition's favicon and web app manifest in headless Chromium.

check_manifest.py WEB_DIR [CHROMIUM]: the browser reads the manifest without an error and
finds nothing in it that keeps the page from being installed; the manifest names the show,
opens it full screen on black, and every icon it or the page links is a PNG of the stated
size.
"""
import json
import struct
import sys
import urllib.error
import urllib.request
from urllib.parse import urljoin

import os
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "web"))
from chromium import run_checks  # noqa: E402


def png_size(url):
    """(width, height) of the PNG at url, None if it is not one or not there."""
    try:
        with urllib.request.urlopen(url) as answer:
            head = answer.read()
    except urllib.error.HTTPError:
        return None
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def check(browser, base, failures):
    browser.call("Page.navigate", browser.session, url=base + "/index.html")
    browser.wait("document.readyState === 'complete'")
    manifest = browser.call("Page.getAppManifest", browser.session)
    if manifest["errors"] or not manifest["url"].endswith("/manifest.webmanifest"):
        failures.append("manifest %s: %s" % (manifest["url"], manifest["errors"]))
        return
    installability = browser.call("Page.getInstallabilityErrors", browser.session)["installabilityErrors"]
    print("installability errors:", [e["errorId"] for e in installability] or "none")
    if installability:
        failures.append("not installable: %s" % installability)

    data = json.loads(manifest["data"])
    expected = {"name": "Zarvelin PC", "display": "fullscreen", "background_color": "#000000"}
    for key, value in expected.items():
        if data.get(key) != value:
            failures.append("manifest %s is %r, not %r" % (key, data.get(key), value))
    purposes = set()
    for icon in data.get("icons", []):
        size = png_size(urljoin(manifest["url"], icon["src"]))
        if size is None or "%dx%d" % size != icon["sizes"]:
            failures.append("manifest icon %s is %s, not a %s PNG" % (icon["src"], size, icon["sizes"]))
        purposes.add((icon.get("purpose", "any"), icon["sizes"]))
    for wanted in (("any", "192x192"), ("any", "512x512"), ("maskable", "512x512")):
        if wanted not in purposes:
            failures.append("no %s icon of %s in the manifest" % wanted)

    links = browser.eval("[...document.querySelectorAll('link[rel=icon], link[rel=apple-touch-icon]')]"
                         ".map(l => [l.rel, l.href])")
    sizes = {rel: png_size(href) for rel, href in links}
    if sizes != {"icon": (32, 32), "apple-touch-icon": (180, 180)}:
        failures.append("page icons: %s" % sizes)


def main():
    failures = run_checks([check])
    print("manifest and page icons checked, %d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
