#!/usr/bin/env python3
"""The web edition in headless Chromium against zarvelin-capture, byte for byte.

check_web.py CAPTURE LOADING_FRAME WEB_DIR [CHROMIUM]: renders the same frames with the
native programs and with the page on the same virtual clock (the last loading-bar picture
and frames of every part), compares the raw frame buffers, and checks that bad addresses
are refused with a message and no frame of the show.
"""
import base64
import json
import os
import queue
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "web"))
import chromium  # noqa: E402

STEP = 20
# Star field, cylinder, tunnel and sphere, both Julia parts, face,
# plasma cube, water and credits.
FRAMES = "0:0,0:3000,1:9000,2:20000,3:5000,4:12000,5:22000,6:8000,8:4000,8:24000"
BAD = {
    "at=1:2000,x&step=20": "at needs PART:MS",
    "at=1:2010&step=20": "is never drawn",
    "at=1:900000&step=20": "no frame of part 1 at 900000 ms was drawn",
    # One address asks for at most 300 frames; this one (25 KB) asks for 3000.
    "at=%s&step=20" % ",".join("%d:%d" % (i % 9, 20 * (i // 9)) for i in range(3000)):
        "at asks for more than 300 frames",
}
HERE = os.path.dirname(os.path.abspath(__file__))


def run_page(web_dir, program, cases, profile):
    results = queue.Queue()

    class Harness(chromium.Handler):
        def translate_path(self, path):
            if urllib.parse.urlparse(path).path == "/harness.html":
                return os.path.join(HERE, "harness.html")
            return super().translate_path(path)

        def do_POST(self):
            body = self.rfile.read(int(self.headers["Content-Length"]))
            self.send_response(204)
            self.end_headers()
            results.put(json.loads(body))

    server = chromium.serve(web_dir, Harness)
    query = urllib.parse.urlencode([("case", c) for c in cases])
    url = "http://127.0.0.1:%d/harness.html?%s" % (server.server_address[1], query)
    browser = chromium.start(program, profile, url)
    try:
        return results.get(timeout=1200)
    finally:
        browser.terminate()
        browser.wait()
        server.shutdown()


def main():
    capture, loading_frame, web_dir = sys.argv[1:4]
    program = sys.argv[4] if len(sys.argv) > 4 else "chromium"
    failures = []
    work = tempfile.mkdtemp(prefix="zarvelin-web-")
    try:
        subprocess.run([capture, "--step", str(STEP), "--at", FRAMES, "--quiet", "--out", work],
                       check=True, stdout=subprocess.DEVNULL)
        subprocess.run([loading_frame, os.path.join(work, "load.raw")], check=True)
        cases = ["at=%s&step=%d" % (FRAMES, STEP)] + list(BAD)
        results = run_page(web_dir, program, cases, os.path.join(work, "profile"))

        shown = results[0]
        if shown["status"] != "done":
            failures.append("page run ended with %s: %s" % (shown["status"], shown["messages"]))
        for name in ["load"] + ["p%s_t%s" % tuple(r.split(":")) for r in FRAMES.split(",")]:
            with open(os.path.join(work, name + ".raw"), "rb") as f:
                native = f.read()
            page = base64.b64decode(shown["frames"].get(name, ""))
            if page != native:
                differ = sum(a != b for a, b in zip(page, native)) + abs(len(page) - len(native))
                failures.append("%s: %d of %d bytes differ" % (name, differ, len(native)))

        for result, (query, expected) in zip(results[1:], BAD.items()):
            errors = " ".join(m["text"] for m in result["messages"] if m["error"])
            drawn = [name for name in result["frames"] if name != "load"]
            if result["status"] != "error" or expected not in errors or drawn:
                failures.append("%s: status %s, errors '%s'" % (query, result["status"], errors))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print("FAIL", failure)
    print("%d frames compared, %d bad addresses, %d failures" % (len(FRAMES.split(",")) + 1, len(BAD), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
