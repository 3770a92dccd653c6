#!/usr/bin/env python3
"""Underruns of the web edition's music at the start of the show, heard through PulseAudio.

measure_underruns.py WEB_DIR RUNS [CHROMIUM]: starts a PulseAudio server of its own with a null
sink, and for each run lets a fresh headless Chromium play the page into it after a click while
parec records the sink's monitor. An underrun reaches the sink as digital silence: every run of
exact zeros of 64 samples (1.5 ms) or more in the 3 s after the first note is a gap (a native
render of the module has none there, which the tool checks first). Prints each run's gaps
(length at ms after the first note) and how many runs had any. Needs pulseaudio and parec.
"""
import array
import ctypes
import os
import shutil
import subprocess
import sys
import tempfile
import time

from chromium import Browser, serve  # noqa: E402
from measure_sync import open_module  # noqa: E402

RATE = 44100
WATCH_SECONDS = 3
MIN_GAP = 64


def zero_runs(left, right, start, end):
    """(first sample, length) of each run of at least MIN_GAP samples silent on both channels."""
    runs, i = [], start
    while i < end:
        if left[i] == 0 and right[i] == 0:
            j = i
            while j < end and left[j] == 0 and right[j] == 0:
                j += 1
            if j - i >= MIN_GAP:
                runs.append((i, j - i))
            i = j
        else:
            i += 1
    return runs


def reference_silences(module_path):
    lib, module = open_module(module_path)
    frames = RATE * (WATCH_SECONDS + 1)
    left, right = (ctypes.c_float * frames)(), (ctypes.c_float * frames)()
    lib.openmpt_module_read_float_stereo(module, RATE, frames, left, right)
    quantise = [round(v * 32767) for v in left], [round(v * 32767) for v in right]
    return zero_runs(quantise[0], quantise[1], 0, frames)


def start_pulse(work):
    """A PulseAudio server in work with a null sink as its default; returns its address and pid file."""
    env = dict(os.environ, PULSE_RUNTIME_PATH=work, XDG_RUNTIME_DIR=work, HOME=work)
    socket = os.path.join(work, "native")
    subprocess.run(["pulseaudio", "-n", "--daemonize=yes", "--exit-idle-time=-1", "--use-pid-file=yes",
                    "-L", "module-null-sink sink_name=heard rate=%d" % RATE,
                    "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + socket,
                    "--log-target=file:" + os.path.join(work, "pulse.log")], env=env, check=True)
    address = "unix:" + socket
    subprocess.run(["pactl", "set-default-sink", "heard"], env=dict(os.environ, PULSE_SERVER=address), check=True)
    return address, os.path.join(work, "pid")


def one_run(chromium, url, work):
    raw = os.path.join(work, "heard.raw")
    profile = tempfile.mkdtemp(prefix="zarvelin-underruns-", dir=work)
    recorder = subprocess.Popen(["parec", "-d", "heard.monitor", "--format=s16le", "--rate=%d" % RATE,
                                 "--channels=2", "--latency-msec=10", raw])
    browser = Browser(chromium, profile)
    try:
        browser.open(url)
        browser.wait("ZarvelinMusic.node !== null && window.zarvelinStatus === 'running'")
        time.sleep(3)  # the loading bar done: the click starts the show at once
        browser.click()
        browser.wait("ZarvelinMusic.position() > %g" % (WATCH_SECONDS + 0.5), 30)
    finally:
        browser.close()
        recorder.terminate()
        recorder.wait()
        shutil.rmtree(profile, ignore_errors=True)
    samples = array.array("h")
    with open(raw, "rb") as f:
        samples.frombytes(f.read())
    left, right = samples[0::2], samples[1::2]
    first = next((i for i in range(len(left)) if left[i] or right[i]), None)
    if first is None:
        return None
    gaps = zero_runs(left, right, first, min(len(left), first + WATCH_SECONDS * RATE))
    return [(1000.0 * (at - first) / RATE, 1000.0 * n / RATE) for at, n in gaps]


def main():
    web_dir, runs = sys.argv[1], int(sys.argv[2])
    chromium = sys.argv[3] if len(sys.argv) > 3 else "chromium"
    silences = reference_silences(os.path.join(web_dir, "velkantoria.mod"))
    if silences:
        print("the module itself is silent in its first %d s at %s: gaps cannot be told" % (WATCH_SECONDS, silences))
        return 1
    work = tempfile.mkdtemp(prefix="zarvelin-pulse-")
    address, pid_file = start_pulse(work)
    os.environ["PULSE_SERVER"] = address
    server = serve(web_dir)
    url = "http://127.0.0.1:%d/index.html" % server.server_address[1]
    with_gaps = 0
    try:
        for run in range(runs):
            gaps = one_run(chromium, url, work)
            if gaps is None:
                print("run %2d: nothing heard" % (run + 1))
                continue
            with_gaps += 1 if gaps else 0
            print("run %2d: %s" % (run + 1, " ".join("%.0f ms at %.0f ms" % (n, at) for at, n in gaps) or "no gaps"))
            sys.stdout.flush()
    finally:
        server.shutdown()
        with open(pid_file) as f:
            os.kill(int(f.read()), 15)
        shutil.rmtree(work, ignore_errors=True)
    print("%d of %d runs with gaps in the %d s after the first note" % (with_gaps, runs, WATCH_SECONDS))
    return 0


if __name__ == "__main__":
    sys.exit(main())
