#!/usr/bin/env python3
"""Underruns of the web edition's music at the start of the show, in headless Chromium.

measure_underruns.py WEB_DIR RUNS [CHROMIUM]: for each run a fresh browser opens the page,
clicks it and watches the output for 3 s after the module's first note: from every animation
frame's output timestamp, the time the output's clock lost against the page's clock (a stall
of the audio graph, i.e. an underrun), and the underruns the browser counted since the output
opened (AudioContext.playbackStats). Prints each run's stalls (length in ms at seconds after
the first note) and a summary. CHROMIUM_FLAGS adds flags (e.g. --js-flags=--no-liftoff).
"""
import os
import shutil
import sys
import tempfile

from chromium import Browser, serve  # noqa: E402

WATCH = """(() => {
    const ctx = ZarvelinMusic.context;
    window.lost = [];
    let last = null;
    function look() {
        const stamp = ctx.getOutputTimestamp();
        const s = ZarvelinMusic.started;
        if (s && stamp.contextTime > 0) {
            const behind = stamp.performanceTime - 1000 * stamp.contextTime;
            const sinceNote = stamp.contextTime - s.frame / s.rate;
            if (last !== null && behind - last > 10 && sinceNote > 0)
                lost.push([sinceNote, behind - last]);
            last = last === null ? behind : Math.max(last, behind);
            if (sinceNote > 3) { window.watched = true; return; }
        }
        requestAnimationFrame(look);
    }
    requestAnimationFrame(look);
    return true;
})()"""


def one_run(chromium, url):
    profile = tempfile.mkdtemp(prefix="zarvelin-underruns-")
    browser = Browser(chromium, profile, os.environ.get("CHROMIUM_FLAGS", "").split())
    try:
        browser.open(url)
        browser.wait("ZarvelinMusic.node !== null && window.zarvelinStatus === 'running'")
        browser.eval(WATCH)
        browser.click()
        browser.wait("window.watched === true", 60)
        stats = browser.eval("(() => { const p = ZarvelinMusic.context.playbackStats;"
                             "return p ? [p.underrunEvents, 1000 * p.underrunDuration] : null })()")
        return browser.eval("lost"), stats
    finally:
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)


def main():
    web_dir, runs = sys.argv[1], int(sys.argv[2])
    chromium = sys.argv[3] if len(sys.argv) > 3 else "chromium"
    server = serve(web_dir)
    url = "http://127.0.0.1:%d/index.html" % server.server_address[1]
    with_stalls = 0
    try:
        for run in range(runs):
            lost, stats = one_run(chromium, url)
            if lost:
                with_stalls += 1
            print("run %2d: %d stalls %s; the browser's underrun count and ms %s"
                  % (run + 1, len(lost), " ".join("%.0f ms at %+.2f s" % (ms, at) for at, ms in lost), stats))
            sys.stdout.flush()
    finally:
        server.shutdown()
    print("%d of %d runs stalled in the 3 s after the first note" % (with_stalls, runs))


if __name__ == "__main__":
    main()
