#!/usr/bin/env python3
"""The web edition's music in headless Chromium.

check_sound.py WEB_DIR [CHROMIUM]: clicks the start prompt (a real input event through the
DevTools pipe, without relaxing the browser's autoplay rules) and checks that the output is
not silent for 4 s; that P, and hiding the tab, pause the picture's clock and the music
together and that both go on in step; then that a missing, foreign or cut-off module stops the
page with the native message, and that a page on the virtual clock starts no audio at all.
"""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "web"))
import chromium  # noqa: E402

# Every 93 ms window (4096 samples) of the 4 s after the start must have at least this RMS
# (full scale 1.0, about -34 dBFS); the module's opening measures 0.07 to 0.10, silence 0.
RMS_FLOOR = 0.02
ERRORS = {"missing": "File not found", "foreign": "Unknown file format", "cut": "Error loading file"}


def serve_cases(web_dir):
    """The web folder at /, and again under /missing/, /foreign/ and /cut/ with the module
    replaced by nothing, by text, or by its first 200000 bytes."""
    with open(os.path.join(web_dir, "velkantoria.mod"), "rb") as f:
        module = f.read()
    swaps = {"missing": None, "foreign": b"Zarvelin PC\n" * 200, "cut": module[:200000]}

    class Swapping(chromium.Handler):
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

    return chromium.serve(web_dir, Swapping)


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
    browser.eval("Module.zarvelinPresented = (part, ms) => { window.shownMs = ms; }")
    browser.wait("window.shownMs > 0", 10)
    check_pause(browser, failures, lambda: press_p(browser), lambda: press_p(browser), "P")
    check_pause(browser, failures, lambda: set_hidden(browser, True), lambda: set_hidden(browser, False),
                "hidden tab")


def press_p(browser):
    """P held for 100 ms, as a finger does: a press and release within one frame is not seen."""
    for kind in ("keyDown", "keyUp"):
        browser.call("Input.dispatchKeyEvent", browser.session, type=kind, key="p", code="KeyP",
                     text="p" if kind == "keyDown" else "", windowsVirtualKeyCode=80)
        time.sleep(0.1)


def set_hidden(browser, hidden):
    """The page told that its tab is hidden or shown again, as the browser tells it."""
    browser.eval("Object.defineProperty(document, 'hidden', {value: %s, configurable: true});"
                 "Object.defineProperty(document, 'visibilityState', {value: '%s', configurable: true});"
                 "document.dispatchEvent(new Event('visibilitychange'))"
                 % ("true" if hidden else "false", "hidden" if hidden else "visible"))


def check_pause(browser, failures, pause, resume, what):
    """Paused, neither the show's time nor the music moves for a second; resumed, both go on,
    the show's time within 100 ms of the music heard."""
    pause()
    browser.wait("ZarvelinMusic.context.state === 'suspended'", 10)
    time.sleep(0.3)
    held = browser.eval("[window.shownMs, ZarvelinMusic.position()]")
    time.sleep(1.0)
    still = browser.eval("[window.shownMs, ZarvelinMusic.position()]")
    resume()
    browser.wait("ZarvelinMusic.context.state === 'running' && window.shownMs > %d + 500" % held[0], 10)
    apart = browser.eval("Math.abs(window.shownMs / 1000 - ZarvelinMusic.position())")
    print("%s: held at show %d ms, music %.3f s; after resuming %.0f ms apart" % (what, held[0], held[1], apart * 1000))
    if still != held:
        failures.append("%s: show time and music moved while paused: %s then %s" % (what, held, still))
    if apart > 0.1:
        failures.append("%s: after resuming the show is %.0f ms from the music" % (what, apart * 1000))


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


def main():
    failures = chromium.run_checks([check_music, check_errors], serve_cases)
    print("music and %d module failures checked, %d failures" % (len(ERRORS), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
