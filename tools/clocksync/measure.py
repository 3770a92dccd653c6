#!/usr/bin/env python3
"""Picture against sound: how far each presented frame's clock stands from the music heard.

Starts a PulseAudio server of its own with a null sink (optionally suspended while idle),
records the sink's monitor with parec, plays the program in the X display of $DISPLAY with
ZARVELIN_CLOCK_LOG, and finds in the recording, by correlation with the module rendered
offline (zarvelin-capture --audio), which music position the sink played at every moment.
For each presented frame: offset = the music time the frame was drawn for - the music heard
when it was presented (positive: the picture is ahead of the sound).

Needs python3-numpy, pulseaudio, pulseaudio-utils and, for --driver alsa, libasound2-plugins.
"""
import argparse
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time
import wave

import numpy as np

RATE = 44100


def start_server(work, suspend):
    run = os.path.join(work, "run")
    os.makedirs(run, exist_ok=True)
    pa = os.path.join(work, "server.pa")
    with open(pa, "w") as f:
        f.write(f"load-module module-native-protocol-unix socket={run}/native auth-anonymous=1\n")
        f.write(f"load-module module-null-sink sink_name=out rate={RATE}\n")
        f.write("set-default-sink out\n")
        if suspend:
            f.write("load-module module-suspend-on-idle timeout=1\n")
    env = dict(os.environ, PULSE_RUNTIME_PATH=run, PULSE_STATE_PATH=os.path.join(work, "state"), HOME=work)
    server = subprocess.Popen(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--system=false",
                               "--disallow-exit", "--log-target=stderr", "-F", pa],
                              env=env, stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "server.log"), "w"))
    sock = f"unix:{run}/native"
    for _ in range(100):
        if subprocess.run(["pactl", "-s", sock, "info"], capture_output=True).returncode == 0:
            return server, sock
        time.sleep(0.05)
    server.kill()
    sys.exit("the PulseAudio server did not start (see server.log)")


class Recorder:
    """parec on the sink's monitor; notes when each piece arrives (CLOCK_MONOTONIC)."""

    def __init__(self, sock):
        self.proc = subprocess.Popen(["parec", "-s", sock, "-d", "out.monitor", "--raw", "--format=s16le",
                                      f"--rate={RATE}", "--channels=2", "--latency-msec=5"],
                                     stdout=subprocess.PIPE)
        self.pieces = []
        self.arrivals = []  # (monotonic us, frames received so far)
        self.thread = threading.Thread(target=self.read, daemon=True)
        self.thread.start()

    def read(self):
        total = 0
        fd = self.proc.stdout.fileno()
        while True:
            data = os.read(fd, 65536)
            if not data:
                return
            now = time.monotonic_ns() // 1000
            self.pieces.append(data)
            total += len(data)
            self.arrivals.append((now, total // 4))

    def stop(self):
        self.proc.terminate()
        self.thread.join(5)
        raw = b"".join(self.pieces)
        pcm = np.frombuffer(raw[: len(raw) // 4 * 4], dtype="<i2").reshape(-1, 2).astype(np.float64)
        return pcm.sum(axis=1), np.array(self.arrivals, dtype=np.float64)


def locate(rec, ref, window=4096, step=RATE // 20):
    """Music frame (position in ref) of recording frames at `step` spacing: [(rec_frame, ref_frame)]."""
    found = []
    guess = None
    for start in range(0, len(rec) - window, step):
        piece = rec[start:start + window]
        energy = np.sqrt(np.mean(piece ** 2))
        if energy < 200:
            continue
        if guess is None:
            lo, hi = 0, min(len(ref), 15 * RATE)
        else:
            lo, hi = max(0, start + guess - RATE), min(len(ref), start + guess + RATE + window)
        seg = ref[lo:hi]
        if len(seg) < window:
            continue
        n = 1 << int(np.ceil(np.log2(len(seg) + window)))
        corr = np.fft.irfft(np.fft.rfft(seg, n) * np.conj(np.fft.rfft(piece, n)), n)[: len(seg) - window + 1]
        run = np.concatenate(([0.0], np.cumsum(seg ** 2)))
        norms = np.sqrt(np.maximum(run[window:] - run[:-window], 0.0)) * np.sqrt(np.sum(piece ** 2))
        score = corr / np.maximum(norms, 1e-9)
        best = int(np.argmax(score))
        if score[best] < 0.9:
            continue
        if guess is not None:
            # Repeated bars match as well as the right one: take the match nearest the music's
            # course so far.
            close = np.flatnonzero(score >= score[best] - 0.02)
            best = int(close[np.argmin(np.abs(lo + close - (start + guess)))])
        found.append((start + window // 2, lo + best + window // 2))
        guess = lo + best - start
    return np.array(found, dtype=np.float64)


def heard_music(pairs, f):
    """Music frame heard at recording frame(s) f, from the located windows (rec, music).

    A sink that underruns rewinds and plays again what it had rendered ahead; its monitor
    keeps both. Windows whose music a later window plays again were never heard and are
    dropped. Between two windows the music runs on with the recording; where it advanced less
    (a stall: silence went in) it holds first, where it advanced more (frames lost) it jumps
    at the second window.
    """
    later_min = np.minimum.accumulate(pairs[::-1, 1])[::-1]
    kept = pairs[pairs[:, 1] <= later_min + 2]
    idx = np.clip(np.searchsorted(kept[:, 0], f), 1, len(kept) - 1)
    a, b = kept[idx - 1], kept[idx]
    ahead = np.minimum(a[:, 1] + (f - a[:, 0]), b[:, 1] - (b[:, 0] - f))
    music = np.maximum(a[:, 1], ahead)
    before, after = f < kept[0, 0], f > kept[-1, 0]
    music[before] = kept[0, 1] + f[before] - kept[0, 0]  # negative before the music starts
    music[after] = kept[-1, 1] + f[after] - kept[-1, 0]
    return music * 1000 / RATE


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--build", default="build", help="build directory with zarvelin and zarvelin-capture")
    ap.add_argument("--seconds", type=float, default=30.0, help="how long to play (the whole show: 230)")
    ap.add_argument("--driver", default="pulse", choices=["pulse", "alsa"], help="SDL's audio driver")
    ap.add_argument("--suspend", action="store_true", help="the sink suspends while idle (a desktop's default)")
    ap.add_argument("--stop-at", type=float, default=0.0, help="stop the program (SIGSTOP) this many seconds in")
    ap.add_argument("--stop-ms", type=float, default=300.0, help="for this long, then SIGCONT")
    ap.add_argument("--delay", default=None, help="ZARVELIN_AUDIO_DELAY for the program")
    ap.add_argument("--keep", default=None, help="directory to keep the recording and logs in")
    ap.add_argument("--again", action="store_true", help="only analyse what an earlier run left in --keep")
    args = ap.parse_args()
    if "DISPLAY" not in os.environ:
        sys.exit("set DISPLAY to an X display (Xvfb :N -noreset)")
    build = os.path.abspath(args.build)
    work = args.keep or tempfile.mkdtemp(prefix="clocksync-")
    os.makedirs(work, exist_ok=True)

    ref_wav = os.path.join(work, "reference.wav")
    if not args.again:
        subprocess.run([os.path.join(build, "zarvelin-capture"), "--quiet", "--until",
                        str(int((args.seconds + 5) * 1000)), "--audio", ref_wav], cwd=build, check=True,
                       env=dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy"))
    with wave.open(ref_wav) as w:
        ref = np.frombuffer(w.readframes(w.getnframes()), dtype="<i2").reshape(-1, 2).astype(np.float64).sum(axis=1)

    if args.again:
        rec, arrivals = np.load(os.path.join(work, "recording.npy")), np.load(os.path.join(work, "arrivals.npy"))
        started = float(open(os.path.join(work, "started")).read())
    else:
        rec, arrivals, started = play(args, build, work)
    analyse(args, work, ref, rec, arrivals, started)


def play(args, build, work):
    server, sock = start_server(work, args.suspend)
    try:
        if args.suspend:
            time.sleep(2)  # let the idle sink suspend
        recorder = Recorder(sock)
        time.sleep(0.5)
        log = os.path.join(work, "clock.log")
        env = dict(os.environ, SDL_AUDIODRIVER=args.driver, PULSE_SERVER=sock, ZARVELIN_CLOCK_LOG=log)
        if args.driver == "alsa":
            env["AUDIODEV"] = "pulse"  # PulseAudio's ALSA plugin
        if args.delay is not None:
            env["ZARVELIN_AUDIO_DELAY"] = args.delay
        prog = subprocess.Popen([os.path.join(build, "zarvelin")], cwd=build, env=env)
        started = time.monotonic()
        if args.stop_at > 0:
            time.sleep(args.stop_at)
            prog.send_signal(signal.SIGSTOP)
            time.sleep(args.stop_ms / 1000)
            prog.send_signal(signal.SIGCONT)
        time.sleep(max(0.0, args.seconds - (time.monotonic() - started)))
        prog.send_signal(signal.SIGTERM)  # SDL turns it into a quit
        prog.wait(10)
        time.sleep(0.5)
        rec, arrivals = recorder.stop()
    finally:
        server.terminate()
        server.wait(10)
    np.save(os.path.join(work, "recording.npy"), rec)
    np.save(os.path.join(work, "arrivals.npy"), arrivals)
    with open(os.path.join(work, "started"), "w") as f:
        f.write(repr(started))
    return rec, arrivals, started


def analyse(args, work, ref, rec, arrivals, started):
    log = os.path.join(work, "clock.log")
    # Recording frame f was played by the sink no later than its piece arrived: lead = arrival
    # - f / RATE, whose lowest value over the pieces that follow within half a second is the
    # sink's time base there (the null sink plays by the system clock). Taken locally, since
    # a busy machine makes the recorder fall behind and PulseAudio then drops recorded frames.
    frames_in = arrivals[:, 1]
    lead = arrivals[:, 0] - frames_in * 1e6 / RATE
    local = np.empty_like(lead)
    best = []  # increasing stack of (lead, frame) for a sliding minimum from the end
    for i in range(len(lead) - 1, -1, -1):
        while best and best[-1][0] >= lead[i]:
            best.pop()
        best.append((lead[i], frames_in[i]))
        while best[0][1] > frames_in[i] + RATE / 2:
            best.pop(0)
        local[i] = best[0][0]
    played_at = local + frames_in * 1e6 / RATE  # monotonic us at which frame frames_in[i] played
    spread_ms = np.median(lead - local) / 1000
    pairs = locate(rec, ref)
    if len(pairs) < 2:
        sys.exit("the music was not found in the recording")
    lines = np.loadtxt(log, comments="#", ndmin=2)
    frames = lines[lines[:, 1] >= 0]
    when = np.interp(frames[:, 0], played_at, frames_in)  # recording frame played at presentation
    heard = heard_music(pairs, when)
    # The same when the frame read the clock: the clock's own error, before drawing and
    # presenting made the frame late.
    heard_read = heard_music(pairs, np.interp(frames[:, 3], played_at, frames_in))
    onset = heard >= 0
    offset = frames[onset, 1] - heard[onset]
    estimate = frames[onset, 1] - heard_read[onset]
    np.savetxt(os.path.join(work, "offsets.txt"), np.column_stack([frames[onset, 0], frames[onset, 1], estimate,
                                                                   heard[onset], offset]), fmt="%.1f")
    moving = frames[:, 1] > 0
    first_moving = frames[moving][0, 0] if moving.any() else float("nan")
    music_start_us = np.interp(pairs[0, 0] - pairs[0, 1], frames_in, played_at)
    levels, counts = np.unique(np.round((pairs[:, 1] - pairs[:, 0]) / 44.1), return_counts=True)
    print("music - recording (ms): " + " ".join(f"{l:+.0f}x{c}" for l, c in zip(levels, counts)))
    drift = np.polyfit(pairs[:, 0] / RATE, pairs[:, 1] - pairs[:, 0], 1)[0] if len(pairs) > 8 else float("nan")
    if not args.again:
        print(f"driver {args.driver} suspend {int(args.suspend)} stop_at {args.stop_at} seconds {args.seconds}")
    print(f"music heard from {(music_start_us / 1e6 - started):.3f} s after launch; first frame past 0 "
          f"presented {(first_moving - music_start_us) / 1000:+.1f} ms from then")
    print(f"frames {len(offset)}  presented - heard, ms: min {offset.min():+.1f} median {np.median(offset):+.1f} "
          f"max {offset.max():+.1f}  p1 {np.percentile(offset, 1):+.1f} p99 {np.percentile(offset, 99):+.1f}")
    trend = np.polyfit(frames[onset, 0] / 6e7, offset, 1)[0] if onset.sum() > 100 else float("nan")
    print(f"offset trend {trend:+.2f} ms per minute (drift)")
    print(f"clock read by the frame - heard then: median {np.median(estimate):+.1f} ms min {estimate.min():+.1f} "
          f"max {estimate.max():+.1f}  p1 {np.percentile(estimate, 1):+.1f} p99 {np.percentile(estimate, 99):+.1f}")
    for name, values in (("presented", offset), ("clock read", estimate)):
        print(f"{name}: frames beyond 30 ms {int((np.abs(values) > 30).sum())}, beyond 50 ms "
              f"{int((np.abs(values) > 50).sum())} of {len(values)}")
    print(f"recording time base: pieces arrive a median {spread_ms:.1f} ms after it; "
          f"located windows {len(pairs)}; music - recording slope {drift:+.2f} frames/s")
    print(f"kept in {work}")


if __name__ == "__main__":
    main()
