#!/usr/bin/env python3
"""How closely the web edition's pictures follow its music, over the whole show.

measure_sync.py WEB_DIR [CHROMIUM]: plays the page in headless Chromium in real time after a
click, records the music node's output (energy of every 128-frame render quantum, tagged
with its context frame) and every presented frame (part, show time, the output timestamp).
The recording is aligned with a native libopenmpt render of the module to find where the
module's first sample lies on the context's time line; each frame's drift is its show time
less the module time heard when it was presented. Also prints, for the first frame of each
part, where the nearest section (pattern) of the module begins.
"""
import ctypes
import json
import os
import sys
import time

from chromium import Browser, serve  # noqa: E402

RATE = 44100
QUANTUM = 128

RECORDER = """
registerProcessor('zarvelin-recorder', class extends AudioWorkletProcessor {
    constructor() { super(); this.sums = []; this.first = -1; }
    process(inputs) {
        const ch = inputs[0];
        let s = 0;
        if (ch.length > 0) for (let i = 0; i < ch[0].length; i++) {
            const m = (ch[0][i] + (ch.length > 1 ? ch[1][i] : ch[0][i])) / 2; s += m * m; }
        if (this.first < 0) this.first = currentFrame;
        this.sums.push(s);
        if (this.sums.length === 512) {
            this.port.postMessage({ first: this.first, sums: this.sums });
            this.sums = []; this.first = -1;
        }
        return true;
    }
});
"""

INSTALL = """(async () => {
    const ctx = ZarvelinMusic.context;
    const url = URL.createObjectURL(new Blob([%s], { type: 'text/javascript' }));
    await ctx.audioWorklet.addModule(url);
    const rec = new AudioWorkletNode(ctx, 'zarvelin-recorder', { numberOfInputs: 1, numberOfOutputs: 1 });
    window.recorded = [];
    rec.port.onmessage = (e) => recorded.push(e.data);
    const mute = ctx.createGain(); mute.gain.value = 0;
    ZarvelinMusic.node.connect(rec); rec.connect(mute); mute.connect(ctx.destination);
    window.shown = [];
    Module.zarvelinPresented = (part, ms) => shown.push([performance.now(), part, ms, ZarvelinMusic.heardTime()]);
    return true;
})()"""


def open_module(path):
    lib = ctypes.CDLL("libopenmpt.so.0")
    lib.openmpt_module_create_from_memory2.restype = ctypes.c_void_p
    lib.openmpt_module_create_from_memory2.argtypes = [ctypes.c_char_p, ctypes.c_size_t] + [ctypes.c_void_p] * 7
    lib.openmpt_module_read_float_stereo.argtypes = [ctypes.c_void_p, ctypes.c_int32, ctypes.c_size_t,
                                                     ctypes.c_void_p, ctypes.c_void_p]
    lib.openmpt_module_set_render_param.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int32]
    with open(path, "rb") as f:
        data = f.read()
    module = lib.openmpt_module_create_from_memory2(data, len(data), None, None, None, None, None, None, None)
    lib.openmpt_module_set_render_param(module, 2, 40)
    return lib, module


def section_starts(path):
    """Seconds at which each order (section) of the module begins."""
    lib, module = open_module(path)
    lib.openmpt_module_set_position_order_row.restype = ctypes.c_double
    lib.openmpt_module_set_position_order_row.argtypes = [ctypes.c_void_p, ctypes.c_int32, ctypes.c_int32]
    lib.openmpt_module_get_num_orders.argtypes = [ctypes.c_void_p]
    return [lib.openmpt_module_set_position_order_row(module, o, 0)
            for o in range(lib.openmpt_module_get_num_orders(module))]


def reference_energies(path, seconds):
    """Energy per render quantum of a native render with the players' settings."""
    lib, module = open_module(path)
    left, right = (ctypes.c_float * QUANTUM)(), (ctypes.c_float * QUANTUM)()
    sums = []
    for _ in range(int(seconds * RATE / QUANTUM)):
        lib.openmpt_module_read_float_stereo(module, RATE, QUANTUM, left, right)
        sums.append(sum(((a + b) / 2) ** 2 for a, b in zip(left, right)))
    return sums


def best_lag(recorded, reference, guess, spread):
    """Lag in quanta of the reference's start within the recording, near `guess`."""
    best = None
    n = min(len(reference), 20000)
    for lag in range(max(0, guess - spread), guess + spread + 1):
        window = recorded[lag:lag + n]
        if len(window) < n:
            break
        score = sum(a * b for a, b in zip(window, reference))
        norm = sum(a * a for a in window) ** 0.5 or 1.0
        if best is None or score / norm > best[0]:
            best = (score / norm, lag)
    return best[1]


def main():
    web_dir = sys.argv[1]
    chromium = sys.argv[2] if len(sys.argv) > 2 else "chromium"
    profile = "/tmp/zarvelin-sync-profile-%d" % os.getpid()
    server = serve(web_dir)
    browser = Browser(chromium, profile)
    try:
        browser.open("http://127.0.0.1:%d/index.html" % server.server_address[1])
        browser.wait("ZarvelinMusic.node !== null")
        browser.call("Runtime.evaluate", browser.session, expression=INSTALL % json.dumps(RECORDER),
                     awaitPromise=True)
        browser.click()
        browser.wait("window.zarvelinStatus !== 'running'", 400)
        started = browser.eval("ZarvelinMusic.started")
        shown = browser.eval("shown")
        recorded = browser.eval("recorded")
    finally:
        browser.close()
        server.shutdown()
    first = recorded[0]["first"]
    energies = [s for block in recorded for s in block["sums"]]
    reference = reference_energies(os.path.join(web_dir, "velkantoria.mod"), 60)
    guess = (started["frame"] - first) // QUANTUM
    lag = best_lag(energies, reference, guess, 40)
    start = (first + lag * QUANTUM) / RATE
    print("module start: context frame %d by the recording, %d as the page clock takes it"
          % (first + lag * QUANTUM, started["frame"]))

    drifts = []
    for now, part, ms, heard in shown:
        drifts.append((ms / 1000.0 - (heard - start), part, ms))
    worst = max(drifts, key=lambda d: abs(d[0]))
    sizes = sorted(abs(d[0]) for d in drifts)
    print("%d frames over %.1f s of show: drift mean %+.1f ms, |drift| 99%% %.1f ms, 99.9%% %.1f ms, "
          "%d frames beyond 40 ms, worst %+.1f ms (part %d at %d ms)"
          % (len(drifts), shown[-1][2] / 1000.0, 1000 * sum(d[0] for d in drifts) / len(drifts),
             1000 * sizes[len(sizes) * 99 // 100], 1000 * sizes[len(sizes) * 999 // 1000],
             sum(1 for v in sizes if v > 0.040), 1000 * worst[0], worst[1], worst[2]))
    seconds = (shown[-1][0] - shown[0][0]) / 1000.0
    audio = shown[-1][3] - shown[0][3]
    print("audio clock against the page clock over %.1f s: %+.1f ms" % (seconds, 1000 * (audio - seconds)))
    sections = section_starts(os.path.join(web_dir, "velkantoria.mod"))
    last = None
    for drift, part, ms in drifts:
        if part != last:
            nearest = min(sections, key=lambda s: abs(s - ms / 1000.0))
            print("part %d first shown at %8.3f s (drift %+5.1f ms); nearest section begins %8.3f s (%+.0f ms)"
                  % (part, ms / 1000.0, 1000 * drift, nearest, ms - 1000 * nearest))
            last = part


if __name__ == "__main__":
    main()
