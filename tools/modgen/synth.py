"""Instrument synthesis for the soundtrack: every sample is computed here, nothing is recorded.

All samples are rendered at RATE, the rate at which ProTracker plays a sample on note C-3
(period 214 on a PAL Amiga). Melodic samples are tuned so that C-3 sounds their reference
pitch; looped ones hold a whole number of cycles of every partial in their loop, so the loop
joins without a click.
"""
import math
import random

RATE = 3546895.0 / 214.0  # 16574.3 Hz
TWO_PI = 2.0 * math.pi


class Sample:
    def __init__(self, name, data, volume=64, loop_start=0, loop_len=0):
        self.name = name
        self.data = data            # floats in -1..1
        self.volume = volume
        self.loop_start = loop_start
        self.loop_len = loop_len


def midi_hz(m):
    return 440.0 * 2.0 ** ((m - 69) / 12.0)


def band_limited_table(harmonics, size=2048):
    """One cycle built from (harmonic number, amplitude, phase) triples."""
    table = [0.0] * size
    for n, amp, phase in harmonics:
        if amp == 0.0:
            continue
        w = TWO_PI * n / size
        for i in range(size):
            table[i] += amp * math.sin(w * i + phase)
    peak = max(abs(v) for v in table) or 1.0
    return [v / peak for v in table]


def saw_harmonics(f0, cutoff, top=7000.0, order=2):
    """Sawtooth partials below `top` Hz through a gentle low-pass at `cutoff`."""
    out = []
    n = 1
    while n * f0 < top:
        gain = 1.0 / (1.0 + (n * f0 / cutoff) ** order)
        out.append((n, gain / n, 0.0))
        n += 1
    return out


def pulse_harmonics(f0, duty, cutoff, top=7000.0):
    out = []
    n = 1
    while n * f0 < top:
        amp = math.sin(math.pi * n * duty) / n
        gain = 1.0 / (1.0 + (n * f0 / cutoff) ** 2)
        out.append((n, amp * gain, 0.0))
        n += 1
    return out


def read_table(table, phase):
    size = len(table)
    pos = phase * size
    i = int(pos)
    frac = pos - i
    a = table[i % size]
    b = table[(i + 1) % size]
    return a + (b - a) * frac


def even(n):
    return n + (n & 1)


def loop_cycles(freq, approx_len):
    """Even loop length near approx_len and the whole cycle count of freq it holds,
    chosen to keep the tuning error smallest."""
    best = None
    for length in range(even(int(approx_len * 0.9)), int(approx_len * 1.1), 2):
        cycles = round(freq * length / RATE)
        if cycles < 1:
            continue
        err = abs(cycles * RATE / length - freq) / freq
        if best is None or err < best[0]:
            best = (err, length, cycles)
    return best[1], best[2]


def normalise(data, peak=0.95):
    top = max(abs(v) for v in data) or 1.0
    return [v * peak / top for v in data]


# --- drums -------------------------------------------------------------------------------

def _noise(rng, n):
    return [rng.uniform(-1.0, 1.0) for _ in range(n)]


def _highpass(data, amount=1.0):
    out = []
    prev = 0.0
    for v in data:
        out.append(v - amount * prev)
        prev = v
    return out


def _lowpass(data, k):
    out = []
    y = 0.0
    for v in data:
        y += k * (v - y)
        out.append(y)
    return out


def _swept_sine(rng, length, base, sweep, sweep_time, decay, click, drive):
    """A sine falling from base + sweep to base Hz, with a noise click: kicks and toms."""
    out = []
    phase = 0.0
    for i in range(int(RATE * length)):
        t = i / RATE
        phase += TWO_PI * (base + sweep * math.exp(-t / sweep_time)) / RATE
        noise = rng.uniform(-1, 1) * click * math.exp(-t / 0.004)
        out.append(math.tanh(drive * (math.sin(phase) * math.exp(-t / decay) + noise)))
    return normalise(out, 0.97)


def kick(rng):
    return _swept_sine(rng, 0.42, 46.0, 120.0, 0.035, 0.2, 0.5, 1.8)


def snare(rng):
    n = int(RATE * 0.3)
    noise = _lowpass(_highpass(_noise(rng, n), 0.6), 0.7)
    out = []
    for i in range(n):
        t = i / RATE
        tone = (math.sin(TWO_PI * 185.0 * t) * 0.6 + math.sin(TWO_PI * 330.0 * t) * 0.3) * math.exp(-t / 0.045)
        out.append(math.tanh(1.4 * (tone + noise[i] * 1.1 * math.exp(-t / 0.09))))
    return normalise(out, 0.95)


def hat(rng, length, decay):
    n = int(RATE * length)
    # Metallic base: detuned square partials, as analogue hats do, plus noise.
    freqs = [317.0, 437.0, 571.0, 689.0, 821.0, 1043.0]
    out = []
    src = _noise(rng, n)
    for i in range(n):
        t = i / RATE
        metal = sum(1.0 if math.sin(TWO_PI * f * 3.1 * t) > 0 else -1.0 for f in freqs) / 6.0
        out.append((metal * 0.5 + src[i]) * math.exp(-t / decay))
    out = _highpass(_highpass(out, 0.95), 0.95)
    return normalise(out, 0.9)


def crash(rng):
    n = int(RATE * 1.7)
    src = _highpass(_highpass(_noise(rng, n), 0.9), 0.5)
    out = []
    for i in range(n):
        t = i / RATE
        env = math.exp(-t / 0.55) * min(1.0, t / 0.004)
        out.append(src[i] * env)
    return normalise(out, 0.9)


def tom(rng):
    return _swept_sine(rng, 0.45, 110.0, 70.0, 0.05, 0.18, 0.25, 1.5)


def mix(a, b, gain_a=1.0, gain_b=1.0):
    n = max(len(a), len(b))
    out = []
    for i in range(n):
        va = a[i] if i < len(a) else 0.0
        vb = b[i] if i < len(b) else 0.0
        out.append(va * gain_a + vb * gain_b)
    return normalise(out, 0.98)


# --- melodic, looped ---------------------------------------------------------------------

def bass(ref_hz):
    """Saw-and-sub bass: a bright pluck that settles into a dark looped tone."""
    length, cycles = loop_cycles(ref_hz, 2600)
    f = cycles * RATE / length
    bright = band_limited_table(saw_harmonics(f, 2400.0) + [(1, 0.6, 0.0)])
    dark = band_limited_table(saw_harmonics(f, 750.0, order=3) + [(1, 0.9, 0.0)])
    attack = even(int(RATE * 0.14))
    out = []
    for i in range(attack + length):
        phase = (i * f / RATE) % 1.0
        k = 1.0 - i / attack if i < attack else 0.0
        k = k * k
        amp = 1.0 if i < attack else 0.82
        if i < attack:
            amp = 1.0 - 0.18 * (i / attack)
        out.append(amp * (k * read_table(bright, phase) + (1.0 - k) * read_table(dark, phase)))
    return normalise(out, 0.95), attack, length


def pad(ref_hz, ratios):
    """Chord pad: each chord tone as three slightly detuned saws, a whole number of cycles
    each over a two-second loop, so the slow chorus beating loops seamlessly."""
    length = even(int(RATE * 2.0))
    attack = even(int(RATE * 0.3))
    voices = []
    for ratio, gain in ratios:
        f = ref_hz * ratio
        cycles = round(f * length / RATE)
        table = band_limited_table(saw_harmonics(f, 2200.0, top=6500.0))
        for detune in (-1, 0, 1):
            voices.append((table, (cycles + detune) / length, gain))
    out = []
    for i in range(attack + length):
        v = 0.0
        for table, step, gain in voices:
            v += gain * read_table(table, (i * step) % 1.0)
        env = min(1.0, i / attack) if attack else 1.0
        out.append(v * env)
    # Many detuned voices make rare tall peaks; a soft saturation lifts the body of the chord.
    out = normalise(out, 1.0)
    return normalise([math.tanh(1.8 * v) for v in out], 0.95), attack, length


def lead(ref_hz):
    """Bright pulse lead with a second, slightly sharp oscillator for width."""
    length, cycles = loop_cycles(ref_hz, 8000)
    f1 = cycles * RATE / length
    f2 = (cycles + 3) * RATE / length
    t1 = band_limited_table(pulse_harmonics(f1, 0.3, 3200.0))
    t2 = band_limited_table(saw_harmonics(f2, 2200.0))
    attack = even(int(RATE * 0.05))
    out = []
    for i in range(attack + length):
        v = 0.65 * read_table(t1, (i * f1 / RATE) % 1.0) + 0.45 * read_table(t2, (i * f2 / RATE) % 1.0)
        env = min(1.0, i / attack * 1.0) if i < attack else 1.0
        boost = 1.25 - 0.25 * (i / attack) if i < attack else 1.0  # a little bite at the start
        out.append(v * env * boost)
    return normalise(out, 0.95), attack, length


def soft_lead(ref_hz):
    """Round, flute-like lead for the quiet passages: few partials, a slow chorus."""
    length, cycles = loop_cycles(ref_hz, 16000)
    f1 = cycles * RATE / length
    f2 = (cycles + 2) * RATE / length
    table = band_limited_table([(1, 1.0, 0.0), (2, 0.3, 0.5), (3, 0.14, 1.0), (4, 0.06, 0.0), (5, 0.03, 0.0)])
    attack = even(int(RATE * 0.08))
    out = []
    for i in range(attack + length):
        v = read_table(table, (i * f1 / RATE) % 1.0) + 0.6 * read_table(table, (i * f2 / RATE) % 1.0)
        out.append(v * (min(1.0, i / attack) if i < attack else 1.0))
    return normalise(out, 0.95), attack, length


def pluck(ref_hz):
    """Decaying bell-pluck for arpeggios: upper partials die away faster."""
    n = int(RATE * 0.7)
    out = [0.0] * n
    for h, amp in ((1, 1.0), (2, 0.5), (3, 0.33), (4, 0.25), (5, 0.2), (6, 0.12), (8, 0.08)):
        f = ref_hz * h
        if f > RATE / 2.2:
            continue
        decay = 0.35 / (1.0 + 0.6 * (h - 1))
        for i in range(n):
            t = i / RATE
            out[i] += amp * math.sin(TWO_PI * f * t) * math.exp(-t / decay)
    for i in range(min(40, n)):
        out[i] *= i / 40.0
    return normalise(out, 0.95)


# Chord shapes as semitones from the root: root position and the two inversions.
PAD_SHAPES = {
    (True, 0): (0, 3, 7), (True, 1): (3, 7, 12), (True, 2): (-5, 0, 3),
    (False, 0): (0, 4, 7), (False, 1): (4, 7, 12), (False, 2): (-5, 0, 4),
}


def pad_name(minor, inversion):
    return f"pad{'m' if minor else 'M'}{inversion}"


def make_samples(seed=6):
    rng = random.Random(seed)
    k = kick(rng)
    c = crash(rng)
    samples = {
        "kick": Sample("kick", k),
        "snare": Sample("snare", snare(rng)),
        "hat": Sample("closed hat", hat(rng, 0.09, 0.022), volume=64),
        "ohat": Sample("open hat", hat(rng, 0.4, 0.12), volume=64),
        "kickcrash": Sample("kick+crash", mix(k, c, 0.8, 0.6)),
        "tom": Sample("tom", tom(rng)),
    }
    data, start, length = bass(midi_hz(48))
    samples["bass"] = Sample("bass", data, 64, start, length)
    # One pad per chord shape, equal-tempered so it agrees with the lead's thirds; each
    # keeps the root an octave below for body.
    for (minor, inversion), offsets in PAD_SHAPES.items():
        ratios = [(0.5, 0.5)] + [(2.0 ** (o / 12.0), 1.0 if o % 12 == 0 else 0.8) for o in offsets]
        data, start, length = pad(midi_hz(60), ratios)
        name = pad_name(minor, inversion)
        samples[name] = Sample(f"pad {'minor' if minor else 'major'} {inversion}", data, 64, start, length)
    data, start, length = lead(midi_hz(72))
    samples["lead"] = Sample("lead", data, 64, start, length)
    data, start, length = soft_lead(midi_hz(72))
    samples["soft"] = Sample("soft lead", data, 64, start, length)
    samples["pluck"] = Sample("pluck", pluck(midi_hz(72)))
    return samples
