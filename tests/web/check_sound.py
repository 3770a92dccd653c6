#!/usr/bin/env python3
"""The web edition's music in headless Chromium.

check_sound.py WEB_DIR [CHROMIUM]: clicks the start prompt (a real input event through the
DevTools pipe, without relaxing the browser's autoplay rules) and checks that the output is
not silent for 4 s; then that a missing, foreign or cut-off module stops the page with the
native message, and that a page on the virtual clock starts no audio at all.
"""
import functools
import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

# Every 93 ms window (4096 samples) of the 4 s after the start must have at least this RMS
# (full scale 1.0, about -34 dBFS); the module's opening measures 0.07 to 0.10, silence 0.
RMS_FLOOR = 0.02
ERRORS = {"missing": "File not found", "foreign": "Unknown file format", "cut": "Error loading file"}


def serve(web_dir):
    """The web folder at /, and again under /missing/, /foreign/ and /cut/ with the module
    replaced by nothing, by text, or by its first 200000 bytes."""
    with open(os.path.join(web_dir, "velkantoria.mod"), "rb") as f:
        module = f.read()
    swaps = {"missing": None, "foreign": b"Zarvelin PC\n" * 200, "cut": module[:200000]}

    class Handler(http.server.SimpleHTTPRequestHandler):
        def do_GET(self):
            case, _, rest = self.path.lstrip("/").partition("/")
            if case in swaps and rest.startswith("velkantoria.mod"):
                if swaps[case] is None:
                    return self.send_error(404)
                self.send_response(200)
                self.send_header("Content-Length", str(len(swaps[case])))
                self.end_headers()
                return self.wfile.write(swaps[case])
            if case in swaps:
                self.path = "/" + rest
            return super().do_GET()

        def log_message(self, *args):
            pass

    Handler.extensions_map[".wasm"] = "application/wasm"
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Handler, directory=web_dir))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class Browser:
    """Headless Chromium driven over --remote-debugging-pipe (fds 3 and 4)."""

    def __init__(self, chromium, profile):
        cmd_r, self.cmd_w = os.pipe()
        self.resp_r, resp_w = os.pipe()
        args = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                "--user-data-dir=" + profile, "--remote-debugging-pipe", "about:blank"]
        shell = 'exec "$@" 3<&%d 4>&%d' % (cmd_r, resp_w)
        self.proc = subprocess.Popen(["sh", "-c", shell, "sh"] + args, pass_fds=(cmd_r, resp_w),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(cmd_r)
        os.close(resp_w)
        self.buf, self.next = b"", 0
        page = [t for t in self.call("Target.getTargets")["targetInfos"] if t["type"] == "page"][0]
        self.session = self.call("Target.attachToTarget", targetId=page["targetId"], flatten=True)["sessionId"]

    def call(self, method, session=None, **params):
        self.next += 1
        message = {"id": self.next, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        os.write(self.cmd_w, json.dumps(message).encode() + b"\0")
        while True:
            while b"\0" not in self.buf:
                chunk = os.read(self.resp_r, 65536)
                if not chunk:
                    raise RuntimeError("the browser closed its pipe")
                self.buf += chunk
            text, self.buf = self.buf.split(b"\0", 1)
            answer = json.loads(text)
            if answer.get("id") == self.next:
                if "error" in answer:
                    raise RuntimeError(answer["error"])
                return answer["result"]

    def eval(self, expression):
        result = self.call("Runtime.evaluate", self.session, expression=expression, returnByValue=True)
        return None if "exceptionDetails" in result else result["result"].get("value")

    def wait(self, expression, seconds=60):
        end = time.time() + seconds
        while time.time() < end:
            value = self.eval(expression)
            if value:
                return value
            time.sleep(0.1)
        raise RuntimeError("timed out waiting for " + expression)

    def open(self, url):
        self.call("Page.navigate", self.session, url=url)
        self.wait("document.readyState === 'complete' && typeof ZarvelinMusic === 'object'")

    def click(self):
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", self.session, type=kind, x=50, y=50, button="left", clickCount=1)

    def close(self):
        self.proc.terminate()
        self.proc.wait()


def check_music(browser, base, failures):
    browser.open(base + "/index.html")
    browser.wait("ZarvelinMusic.node !== null")
    browser.eval("window.tap = ZarvelinMusic.context.createAnalyser(); tap.fftSize = 4096;"
                 "ZarvelinMusic.node.connect(tap)")
    browser.click()
    browser.wait("ZarvelinMusic.position() > 0.5", 20)
    levels = []
    for _ in range(40):
        levels.append(browser.eval("(() => { const a = new Float32Array(4096); tap.getFloatTimeDomainData(a);"
                                   "return Math.sqrt(a.reduce((s, v) => s + v * v, 0) / a.length); })()"))
        time.sleep(0.1)
    print("RMS over 4 s after the click: min %.4f max %.4f" % (min(levels), max(levels)))
    if min(levels) < RMS_FLOOR:
        failures.append("music below RMS %.2f: %s" % (RMS_FLOOR, ["%.3f" % v for v in levels]))
    if browser.eval("window.zarvelinStatus") != "running":
        failures.append("the show is not running with its music")


def check_errors(browser, base, failures):
    for case, text in ERRORS.items():
        browser.open("%s/%s/index.html" % (base, case))
        browser.wait("ZarvelinMusic.node !== null")
        browser.click()
        status = browser.wait("window.zarvelinStatus !== 'running' && window.zarvelinStatus", 20)
        errors = browser.eval("zarvelinMessages.filter(m => m.error).map(m => m.text)")
        if status != "error" or errors != [text] or browser.eval("ZarvelinMusic.position()") != 0:
            failures.append("%s module: status %s, errors %s" % (case, status, errors))
    browser.open(base + "/index.html?at=0:100&step=20")
    browser.wait("window.zarvelinStatus === 'done'")
    if browser.eval("ZarvelinMusic.context") is not None:
        failures.append("the page on the virtual clock opened an audio output")


def run_checks(checks):
    """Serves the web folder argv[1] and runs each check(browser, base, failures) in a fresh
    headless Chromium (argv[2], default chromium); prints and returns the failures."""
    web_dir = sys.argv[1]
    chromium = sys.argv[2] if len(sys.argv) > 2 else "chromium"
    profile = tempfile.mkdtemp(prefix="zarvelin-browser-")
    server = serve(web_dir)
    browser = Browser(chromium, profile)
    failures = []
    try:
        base = "http://127.0.0.1:%d" % server.server_address[1]
        for check in checks:
            check(browser, base, failures)
    finally:
        browser.close()
        server.shutdown()
        shutil.rmtree(profile, ignore_errors=True)
    for failure in failures:
        print("FAIL", failure)
    return failures


def main():
    failures = run_checks([check_music, check_errors])
    print("music and %d module failures checked, %d failures" % (len(ERRORS), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
