"""Headless Chromium for the web edition's checks and tools: the page's folder served on
127.0.0.1, the browser started with a fresh profile and no network of its own, and driven over
the DevTools pipe where a check needs to click or read the page.
"""
import fcntl
import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

# Headless, no sandbox (CI runs as root), no GPU, and none of the browser's own connections.
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync"]


class Handler(http.server.SimpleHTTPRequestHandler):
    """Serves a folder quietly, with WebAssembly's type."""

    def log_message(self, *args):
        pass


Handler.extensions_map[".wasm"] = "application/wasm"


def serve(web_dir, handler=Handler):
    """Serves web_dir on a free port of 127.0.0.1 until .shutdown(); handler may extend Handler."""

    class Bound(handler):
        def __init__(self, *args, **kwargs):
            super().__init__(*args, directory=web_dir, **kwargs)

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Bound)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def command(chromium, profile, url, extra=()):
    return [chromium] + FLAGS + ["--user-data-dir=" + profile] + list(extra) + [url]


def start(chromium, profile, url):
    """The browser on one page, with nothing to drive: the page reports by itself."""
    return subprocess.Popen(command(chromium, profile, url), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def high_pipe():
    ends = []
    for fd in os.pipe():
        ends.append(fcntl.fcntl(fd, fcntl.F_DUPFD, 5))
        os.close(fd)
    return ends


class Browser:
    """Headless Chromium driven over --remote-debugging-pipe (fds 3 and 4)."""

    def __init__(self, chromium, profile, extra=()):
        # The shell's redirections overwrite fds 3 and 4 in turn: the pipe ends must lie above them (and below 10, for sh).
        cmd_r, self.cmd_w = high_pipe()
        self.resp_r, resp_w = high_pipe()
        args = command(chromium, profile, "about:blank", ["--remote-debugging-pipe"] + list(extra))
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
        os.close(self.cmd_w)
        os.close(self.resp_r)


def run_checks(checks, serve_folder=serve):
    """Serves the web folder argv[1] (through serve_folder) and runs each
    check(browser, base, failures) in one fresh headless Chromium (argv[2], default chromium);
    prints and returns the failures."""
    web_dir = sys.argv[1]
    program = sys.argv[2] if len(sys.argv) > 2 else "chromium"
    profile = tempfile.mkdtemp(prefix="zarvelin-browser-")
    server = serve_folder(web_dir)
    browser = Browser(program, profile)
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
