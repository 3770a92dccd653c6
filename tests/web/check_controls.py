#!/usr/bin/env python3
"""The web edition's controls in headless Chromium.

check_controls.py CAPTURE WEB_DIR [CHROMIUM]: links to a moment (#t=) as the page reads them,
bad ones included; a page opened at #t=1m33s, a seek by key (9: nine tenths), one by a tap
on the progress bar and Page Down each land on the frame zarvelin-capture draws at that show
time, with the music there too; K pauses and resumes, M silences the output, the media session names the show;
a touch screen gets its own prompt, and a tap on it starts the show.
"""
import base64
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "web"))
import chromium  # noqa: E402

MOMENTS = {"93": 93000, "93.5": 93500, "1m33s": 93000, "2m": 120000, "1h": 3600000, "1:33": 93000, "0": 0,
           "45s": 45000, "": None, "abc": None, "-5": None, "1:75": None, "1m70x": None, "93ss": None, "1.2.3": None}
KEYS = {"9": ("Digit9", 57), "PageDown": ("PageDown", 34), "k": ("KeyK", 75), "m": ("KeyM", 77)}


def press(browser, key):
    code, vk = KEYS[key]
    for kind in ("keyDown", "keyUp"):
        browser.call("Input.dispatchKeyEvent", browser.session, type=kind, key=key, code=code,
                     windowsVirtualKeyCode=vk, text=key if kind == "keyDown" and len(key) == 1 else "")


def mouse(browser, kind, x, y):
    browser.call("Input.dispatchMouseEvent", browser.session, type=kind, x=x, y=y, button="left", clickCount=1)


def start(browser, url):
    """Opens the page afresh (not as a jump within the page before), starts it with a click and
    waits until the bar is there."""
    browser.call("Page.navigate", browser.session, url="about:blank")
    browser.open(url)
    browser.wait("ZarvelinMusic.node !== null")
    browser.eval("window.seekFrames = []; Module.zarvelinSeekFrame = (part, prticks, ms, bytes) => {"
                 " let text = ''; for (let i = 0; i < bytes.length; i += 8192)"
                 " text += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));"
                 " seekFrames.push([part, prticks, ms, btoa(text)]) }")
    browser.click()
    browser.wait("typeof controls === 'object' && controls.length > 0", 30)


def seek_frame(browser, count, wanted, what, failures):
    """The first frame after the seek; its show time must be `wanted` (None: any)."""
    frame = browser.wait("seekFrames.length >= %d && seekFrames[%d]" % (count, count - 1), 20)
    time.sleep(1.0)  # the music heard from there
    heard = browser.eval("ZarvelinMusic.position()")
    if wanted is not None and frame[2] != wanted:
        failures.append("%s: landed at %d ms, not %d" % (what, frame[2], wanted))
    if not frame[2] / 1000 < heard < frame[2] / 1000 + 2.5:
        failures.append("%s: the music is at %.2f s after a seek to %d ms" % (what, heard, frame[2]))
    print("%s: part %d at %d ms (show %d ms); music %.2f s a second later" % (what, frame[0], frame[1], frame[2], heard))
    return (what, frame)


def check_moments(browser, base, failures):
    browser.open(base + "/index.html")
    for text, ms in MOMENTS.items():
        got = browser.eval("(() => { const v = parseMoment(%r); return isNaN(v) ? null : v })()" % text)
        if got != ms:
            failures.append("t=%s read as %s, not %s" % (text, got, ms))
    # Past the end or not a time: one message and the start; no t: no message.
    for hash_, ms, messages in (("#t=abc", 0, 1), ("#t=4m", 0, 1), ("#t=3m47s", 227000, 0), ("#x=1", 0, 0)):
        before = browser.eval("zarvelinMessages.length")
        at = browser.eval("startMoment(%r, 227840)" % hash_)
        said = browser.eval("zarvelinMessages.length") - before
        if at != ms or said != messages:
            failures.append("%s: starts at %s with %d messages" % (hash_, at, said))


def check_seeks(browser, base, failures):
    seen = []
    start(browser, base + "/index.html#t=1m33s")
    seen.append(seek_frame(browser, 1, 93000, "#t=1m33s", failures))
    if not browser.eval("navigator.mediaSession.metadata.title === 'Zarvelin PC'"
                        " && navigator.mediaSession.metadata.artwork.length === 2"):
        failures.append("the media session does not name the show with its icons")
    press(browser, "9")  # nine tenths: the water, which carries its state from frame to frame
    seen.append(seek_frame(browser, 2, 205040, "key 9", failures))
    mouse(browser, "mouseMoved", 100, 100)
    box = browser.wait("(() => { const r = $('progress').getBoundingClientRect();"
                       "return !$('controls').classList.contains('away') && [r.left, r.top, r.width, r.height] })()")
    x, y = box[0] + 0.25 * box[2], box[1] + box[3] / 2
    mouse(browser, "mousePressed", x, y)
    mouse(browser, "mouseReleased", x, y)
    seen.append(seek_frame(browser, 3, None, "progress bar at a quarter", failures))
    if abs(seen[-1][1][2] - 227840 / 4) > 227840 / 50:
        failures.append("a tap at a quarter of the bar seeks to %d ms" % seen[-1][1][2])
    press(browser, "PageDown")  # from the tunnel to the rotozoomed Julia
    seen.append(seek_frame(browser, 4, 80060, "Page Down", failures))

    press(browser, "k")
    paused = browser.wait("Module._zarvelin_paused() === 1 && ZarvelinMusic.context.state === 'suspended'", 5)
    press(browser, "k")
    resumed = browser.wait("Module._zarvelin_paused() === 0 && ZarvelinMusic.context.state === 'running'", 5)
    press(browser, "m")
    time.sleep(0.3)
    silent = browser.eval("ZarvelinMusic.gain.gain.value")
    if not (paused and resumed) or silent > 0.01:
        failures.append("K or M: paused %s, resumed %s, gain after M %s" % (paused, resumed, silent))
    return seen


def check_malformed(browser, base, failures):
    start(browser, base + "/index.html#t=1m3x")
    shown = browser.wait("Module._zarvelin_show_ms() > 0 && Module._zarvelin_show_ms()", 20)
    messages = browser.eval("zarvelinMessages.map(m => m.text)")
    if shown > 2000 or len(messages) != 1 or "t=1m3x" not in messages[0]:
        failures.append("#t=1m3x: shown at %d ms, messages %s" % (shown, messages))


def check_touch(browser, base, failures):
    """A touch screen's own prompt, and a tap on it starts the music (which a touch allows
    only once the finger lifts)."""
    browser.call("Emulation.setTouchEmulationEnabled", browser.session, enabled=True, maxTouchPoints=5)
    browser.call("Page.navigate", browser.session, url="about:blank")
    browser.open(base + "/index.html")
    prompt = browser.wait("!$('prompt').hidden", 20)
    for kind, points in (("touchStart", [{"x": 100, "y": 100}]), ("touchEnd", [])):
        browser.call("Input.dispatchTouchEvent", browser.session, type=kind, touchPoints=points)
    browser.wait("window.zarvelinStatus !== 'running' || ZarvelinMusic.position() > 0.2", 20)
    state = browser.eval("[window.zarvelinStatus, ZarvelinMusic.context.state, $('prompt').hidden]")
    if not prompt or state != ["running", "running", True]:
        failures.append("a tap on the touch prompt: status, output, prompt hidden: %s" % state)
    browser.call("Emulation.setTouchEmulationEnabled", browser.session, enabled=False)


def main():
    capture = sys.argv.pop(1)
    seen = []
    failures = chromium.run_checks([check_moments, lambda b, u, f: seen.extend(check_seeks(b, u, f)),
                                    check_malformed, check_touch])
    work = tempfile.mkdtemp(prefix="zarvelin-controls-")
    try:
        at = ",".join("%d:%d" % (frame[0], frame[1]) for _, frame in seen)
        if seen:
            subprocess.run([capture, "--step", "20", "--at", at, "--quiet", "--out", work], check=True,
                           stdout=subprocess.DEVNULL)
        for what, (part, prticks, _, data) in seen:
            with open(os.path.join(work, "p%d_t%d.raw" % (part, prticks)), "rb") as f:
                native = f.read()
            page = base64.b64decode(data)
            if page != native:
                failures.append("%s: the frame differs from the capture's in %d bytes"
                                % (what, sum(a != b for a, b in zip(page, native))))
                print("FAIL", failures[-1])
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("%d moments read, %d seeks compared with the capture, %d failures" % (len(MOMENTS), len(seen), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
