#!/usr/bin/env python3
"""Writes velkantoria.mod, the soundtrack: a 4-channel ProTracker ("M.K.") module.

    python3 tools/modgen/modgen.py [output.mod]      (default: assets/velkantoria.mod)

The samples come from synth.py; the patterns are composed below. Channels: 0 drums, 1 bass,
2 chord pad or pluck arpeggio, 3 lead. 143 BPM at speed 6, one bar = 16 rows = 1.678 s, and
the sections follow the parts of the show:

    intro 8 bars | stars 24 | tunnel 16 | julia 16 | julia+balls 16 | plasma face 32 |
    plasma cube 8 | water and credits 16          = 136 bars, 228.2 s

Output is deterministic: the same script always writes the same bytes. To check a new
version, `openmpt123 --info assets/velkantoria.mod` gives its length and
`tools/modgen/levels.sh` renders it and prints the level of every section.
"""
import os
import struct
import sys

import synth

BPM = 143
ROWS_PER_BAR = 16

# ProTracker periods, finetune 0, C-1 .. B-3.
PERIODS = [
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,
]
C3 = 24  # index of C-3, where every sample plays at its recorded rate

PADS = [synth.pad_name(minor, inversion) for minor, inversion in synth.PAD_SHAPES]
SAMPLE_ORDER = ["kick", "snare", "hat", "ohat", "kickcrash", "tom", "bass"] + PADS + ["lead", "pluck", "soft"]
SNUM = {name: i + 1 for i, name in enumerate(SAMPLE_ORDER)}
# MIDI note each melodic sample sounds at C-3 (for a pad: the root of its chord).
REFERENCE = {"bass": 48, "lead": 72, "pluck": 72, "soft": 72, **{name: 60 for name in PADS}}

NOTE_NAMES = {"C": 0, "C#": 1, "Db": 1, "D": 2, "D#": 3, "Eb": 3, "E": 4, "F": 5, "F#": 6, "Gb": 6,
              "G": 7, "G#": 8, "Ab": 8, "A": 9, "A#": 10, "Bb": 10, "B": 11}

DRUMS, BASS, CHORD, LEAD = 0, 1, 2, 3
# Channel balance: every volume written on a channel is scaled by its factor.
MIX = {DRUMS: 1.0, BASS: 0.7, CHORD: 1.5, LEAD: 1.15}


def note_midi(text):
    """'E5' -> 76 (C4 = 60)."""
    name, octave = text[:-1], int(text[-1])
    return 12 * (octave + 1) + NOTE_NAMES[name]


def index_for(sample, midi):
    idx = midi - REFERENCE[sample] + C3
    if not 0 <= idx < len(PERIODS):
        raise ValueError(f"{sample}: MIDI note {midi} out of the ProTracker range")
    return idx


class Cell:
    __slots__ = ("note", "sample", "effect", "param")

    def __init__(self, note=None, sample=0, effect=0, param=0):
        self.note, self.sample, self.effect, self.param = note, sample, effect, param

    def pack(self):
        period = PERIODS[self.note] if self.note is not None else 0
        return bytes([(self.sample & 0xF0) | (period >> 8), period & 0xFF,
                      ((self.sample & 0x0F) << 4) | self.effect, self.param])


def vol(v):
    return 0xC, max(0, min(64, int(round(v))))


class Bar:
    def __init__(self):
        self.rows = [[Cell() for _ in range(4)] for _ in range(ROWS_PER_BAR)]

    def put(self, row, ch, sample=None, midi=None, index=None, effect=None, slide=False):
        """slide: glide to the note from the one sounding (no sample number, no retrigger)."""
        cell = self.rows[row][ch]
        if sample is not None:
            cell.sample = 0 if slide else SNUM[sample]
            cell.note = index if index is not None else index_for(sample, midi)
        if effect is not None:
            cell.effect, cell.param = effect
            if cell.effect == 0xC:
                cell.param = min(64, int(round(cell.param * MIX[ch])))


# --- harmony -----------------------------------------------------------------------------

def parse_chord(name):
    minor = name.endswith("m")
    root = name[:-1] if minor else name
    return NOTE_NAMES[root], minor


def in_range(pc, low):
    """The MIDI note of pitch class pc in the octave starting at `low`."""
    return low + (pc - low) % 12


def chord_tones(name, low):
    pc, minor = parse_chord(name)
    root = in_range(pc, low)
    return [root, root + (3 if minor else 4), root + 7, root + 12]


def transpose_chord(name, semis):
    pc, minor = parse_chord(name)
    names = ["C", "C#", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"]
    return names[(pc + semis) % 12] + ("m" if minor else "")


# --- channel writers ---------------------------------------------------------------------

DRUM_HITS = {
    "K": ("kick", 64), "k": ("kick", 44), "S": ("snare", 56), "s": ("snare", 30),
    "h": ("hat", 32), "H": ("hat", 44), "o": ("ohat", 38), "X": ("kickcrash", 64),
}

BEATS = {
    "hats": "..h...h...h...h.",
    "half": "K.h.h.h.S.h.k.h.",
    "beat1": "K.h.S.h.K.K.S.hH",
    "beat1b": "K.h.S.h.K.KKS.sS",
    "beat2": "K.hhS.hKK.hhS.hs",
    "beat2b": "K.hhS.hKK.hhSsSs",
    "beat4": "K.o.S.o.K.oKS.oS",
    "beat4b": "K.o.S.o.K.oKSsSS",
    "offhat": "K.o.K.o.K.o.K.o.",
}


def drums(bar, pattern, crash=False, gain=1.0, i=None):
    """One bar of drums; with the bar's number i, every fourth bar turns round with a variant."""
    if i is not None and i % 4 == 3 and pattern + "b" in BEATS:
        pattern += "b"
    steps = BEATS.get(pattern, pattern)
    for row, ch in enumerate(steps):
        if ch == "." or (crash and 0 < row < 4 and ch in "hHo"):  # let the crash ring a beat
            continue
        if row == 0 and crash and ch in "Kk":
            ch = "X"
        sample, v = DRUM_HITS[ch]
        bar.put(row, DRUMS, sample, index=C3, effect=vol(v * gain))
    if crash and steps[0] == ".":
        bar.put(0, DRUMS, "kickcrash", index=C3, effect=vol(48 * gain))


def snare_roll(bar, start=0, v0=16, v1=60):
    n = ROWS_PER_BAR - start
    for i in range(n):
        bar.put(start + i, DRUMS, "snare", index=C3, effect=vol(v0 + (v1 - v0) * i / max(1, n - 1)))


def tom_fill(bar, start=8):
    for row in range(start, ROWS_PER_BAR):
        bar.rows[row][DRUMS] = Cell()
    steps = [(start, 27), (start + 2, 26), (start + 3, 24), (start + 4, 22), (start + 5, 20), (start + 6, 19)]
    for row, idx in steps:
        if row < ROWS_PER_BAR:
            bar.put(row, DRUMS, "tom", index=idx, effect=vol(56))
    if start + 7 < ROWS_PER_BAR:
        bar.put(start + 7, DRUMS, "snare", index=C3, effect=vol(60))


BASSLINES = {
    "long": "r-------------o-",
    "pulse": "r-----r-r-----r-",
    "drive": "r.r.o.r.r.r.o.rf",
    "octaves": "r.o.r.o.r.o.r.o.",
    "synco": "r--r--r-r--r--o-",
    "roll": "rrorrorrrrorrorf",
}


def bassline(bar, chord, style, v=50, semis=0):
    pc, _ = parse_chord(chord)
    root = in_range((pc + semis) % 12, 28)  # E1 .. D#2
    notes = {"r": root, "o": root + 12, "f": root + 7}
    for row, ch in enumerate(BASSLINES[style]):
        if ch in notes:
            accent = 1.0 if row % 4 == 0 else 0.85
            bar.put(row, BASS, "bass", midi=notes[ch], effect=vol(v * accent))
        elif ch == ".":
            bar.put(row, BASS, effect=vol(0))


class Voicing:
    """Chooses each chord's shape and octave to move the pad's voices as little as possible
    from the chord before (smooth voice leading), near the middle of the keyboard."""

    def __init__(self):
        self.last = None

    def choose(self, chord):
        pc, minor = parse_chord(chord)
        best = None
        for inversion in range(3):
            offsets = synth.PAD_SHAPES[(minor, inversion)]
            for root in range(36 + (pc - 36) % 12, 72, 12):
                notes = sorted(root + o for o in offsets)
                if notes[0] < 50 or notes[-1] > 76:
                    continue
                centre = abs(sum(notes) / 3.0 - 62.0)
                move = sum(abs(a - b) for a, b in zip(notes, self.last)) if self.last else 0
                cost = (move + 0.6 * centre, inversion)
                if best is None or cost < best[0]:
                    best = (cost, synth.pad_name(minor, inversion), root, notes)
        _, sample, root, self.last = best
        return sample, root


VOICING = Voicing()


def pad_note(bar, chord, v):
    sample, root = VOICING.choose(chord)
    bar.put(0, CHORD, sample, midi=root, effect=vol(v))


def pad(bar, chord, v=34, gate=None, semis=0):
    pad_note(bar, transpose_chord(chord, semis), v)
    if gate:
        for row, ch in enumerate(gate):
            if row == 0:
                continue
            bar.put(row, CHORD, effect=vol(v if ch == "x" else v * 0.25 if ch == "-" else 0))
    else:
        bar.put(ROWS_PER_BAR - 2, CHORD, effect=vol(v * 0.7))
        bar.put(ROWS_PER_BAR - 1, CHORD, effect=vol(v * 0.4))


def pad_fade(bar, chord, v_from, v_to):
    pad_note(bar, chord, v_from)
    for row in range(1, ROWS_PER_BAR):
        bar.put(row, CHORD, effect=vol(v_from + (v_to - v_from) * row / (ROWS_PER_BAR - 1)))


ARPS = {
    "up": [0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 1, 2, 3],
    "skip": [0, 2, 3, 1, 2, 3, 0, 2, 1, 3, 2, 0, 3, 2, 1, 2],
    "eighth": [0, None, 2, None, 3, None, 2, None, 1, None, 2, None, 3, None, 1, None],
}


def arpeggio(bar, chord, pattern="up", v=36, semis=0):
    tones = chord_tones(transpose_chord(chord, semis), 57)
    for row, k in enumerate(ARPS[pattern]):
        if k is None:
            continue
        midi = tones[k] + 12
        while midi > 83:
            midi -= 12
        accent = 1.0 if row % 4 == 0 else 0.7 if row % 2 == 0 else 0.55
        bar.put(row, CHORD, "pluck", midi=midi, effect=vol(v * accent))


def melody_bars(text, v=40, semis=0, vibrato=0x44, sample="lead"):
    """Lead bars from 'E5:4 D5:2 | ...' (durations in rows, 'r' a rest, '~' a glide into the
    note from the one before, '|' between bars). Long notes get vibrato after a moment."""
    bars = []
    for chunk in text.split("|"):
        bar = Bar()
        row = 0
        for token in chunk.split():
            name, length = token.split(":")
            length = int(length)
            if name == "r":
                bar.put(row, LEAD, effect=vol(0))
            else:
                glide = name.startswith("~")
                midi = note_midi(name.lstrip("~")) + semis
                # A glide fast enough to arrive within the row.
                bar.put(row, LEAD, sample, midi=midi, effect=(0x3, 0x18) if glide else vol(v), slide=glide)
                if length >= 6:
                    for r in range(row + 3, row + length):
                        bar.put(r, LEAD, effect=(0x4, vibrato))
            row += length
        if row != ROWS_PER_BAR:
            raise ValueError(f"bar of {row} rows: {chunk}")
        bars.append(bar)
    return bars


def overlay(target, source, ch):
    for row in range(ROWS_PER_BAR):
        target.rows[row][ch] = source.rows[row][ch]


# --- the composition ---------------------------------------------------------------------

THEME_A = ("E5:4 D5:2 C5:2 B4:2 C5:2 A4:4 | A4:2 C5:2 F5:4 E5:2 C5:2 A4:4 | G4:4 C5:2 E5:2 G5:4 E5:2 C5:2 |"
           " D5:6 B4:2 G4:4 r:4 | E5:4 D5:2 C5:2 B4:2 C5:2 E5:4 | F5:2 E5:2 F5:2 A5:2 G5:4 F5:4 |"
           " E5:4 G5:4 C5:2 D5:2 E5:4 | D5:8 B4:4 G4:4")
THEME_A2 = ("E5:4 D5:2 C5:2 B4:2 C5:2 A4:4 | A4:2 C5:2 F5:4 E5:2 C5:2 A4:4 | G4:4 C5:2 E5:2 G5:4 A5:2 G5:2 |"
            " D5:6 E5:2 G5:4 r:4 | A5:4 G5:2 E5:2 D5:2 E5:2 C5:4 | F5:2 E5:2 F5:2 A5:2 G5:4 F5:4 |"
            " E5:4 G5:4 C5:2 D5:2 E5:4 | D5:4 E5:4 B4:4 G4:4")
THEME_B = ("D5:3 F5:3 A5:2 G5:2 F5:2 E5:2 D5:2 | B4:3 D5:3 G5:2 F5:2 E5:2 D5:2 B4:2 |"
           " C5:3 E5:3 G5:2 E5:2 D5:2 E5:2 G5:2 | A5:6 E5:2 C5:4 A4:4 |"
           " D5:3 F5:3 A5:2 G5:2 F5:2 E5:2 F5:2 | G5:3 F5:3 D5:2 B4:2 D5:2 F5:2 G5:2 |"
           " G#5:6 E5:2 B4:4 D5:4 | E5:8 G#4:4 B4:4")
THEME_C = ("A4:2 C5:2 E5:2 A5:2 G5:2 E5:2 C5:2 E5:2 | G4:2 B4:2 D5:2 G5:2 F5:2 D5:2 B4:2 D5:2 |"
           " F4:2 A4:2 C5:2 F5:2 E5:2 C5:2 A4:2 C5:2 | E5:4 G#4:2 B4:2 E5:4 D5:2 B4:2 |"
           " E5:8 C5:8 | D5:8 B4:8 | C5:8 A4:8 | B4:12 G#4:4")
THEME_D = ("A4:8 ~C5:4 E5:4 | D5:12 ~B4:4 | E5:8 ~G5:4 E5:4 | A4:16 |"
           " C5:8 ~F5:4 A5:4 | G5:12 ~D5:4 | E5:8 ~B4:4 G5:4 | ~A5:16")
CALL = "r:8 E5:2 G5:2 A5:4 | r:16 | r:8 G5:2 E5:2 D5:4 | r:12 B4:2 D5:2"
INTRO_LEAD = "E5:8 D5:4 C5:4 | C5:8 A4:8 | G4:8 C5:4 E5:4 | B4:8 G#4:4 B4:4"
RISE = "E5:16 | F5:16 | G5:16 | G#5:16"
OUTRO_LEAD = "E5:8 C5:8 | A4:8 C5:8 | G4:8 E5:8 | D5:16"

GATE = "x.x-xx.x-x.xx-x-"


def section(chords, build):
    bars = []
    for i, chord in enumerate(chords):
        bar = Bar()
        build(bar, i, chord)
        bars.append(bar)
    return bars


def with_lead(bars, lead_bars, offset=0):
    for i, lb in enumerate(lead_bars):
        overlay(bars[offset + i], lb, LEAD)
    return bars


def intro():
    chords = ["Am", "F", "C", "G", "Am", "F", "C", "E"]

    def build(bar, i, chord):
        if i == 0:
            pad_fade(bar, chord, 4, 30)
        else:
            pad(bar, chord, 34)
        if i >= 2:
            drums(bar, "hats" if i < 4 else "half", gain=0.8 if i < 4 else 1.0)
        if i == 7:
            snare_roll(bar, 8, 20, 56)
        bassline(bar, chord, "long" if i < 4 else "pulse", v=44)

    return with_lead(section(chords, build), melody_bars(INTRO_LEAD, v=34, sample="soft"), 4)


def stars():
    chords = ["Am", "F", "C", "G"] * 6

    def build(bar, i, chord):
        drums(bar, "beat1", crash=i in (0, 8, 16), i=i)
        if i in (7, 15):
            tom_fill(bar, 8)
        if i == 23:
            snare_roll(bar, 8, 24, 60)
        bassline(bar, chord, "synco" if i < 8 else "drive", v=52)
        pad(bar, chord, 30)

    bars = section(chords, build)
    with_lead(bars, melody_bars(CALL, v=34), 4)
    with_lead(bars, melody_bars(THEME_A, v=40), 8)
    return with_lead(bars, melody_bars(THEME_A2, v=40), 16)


def tunnel():
    chords = ["Dm", "G", "C", "Am", "Dm", "G", "E", "E"] * 2

    def build(bar, i, chord):
        drums(bar, "beat2", crash=i in (0, 8), i=i)
        if i == 7:
            tom_fill(bar, 10)
        if i == 15:
            snare_roll(bar, 12, 30, 60)
        bassline(bar, chord, "octaves", v=50)
        arpeggio(bar, chord, "up" if i < 8 else "skip", v=38)

    bars = section(chords, build)
    with_lead(bars, melody_bars(THEME_B, v=38), 0)
    return with_lead(bars, melody_bars(THEME_B, v=40, vibrato=0x56), 8)


def julia_in():
    chords = ["F", "G", "Em", "Am"] * 4

    def build(bar, i, chord):
        if 4 <= i < 8:
            drums(bar, "hats", gain=0.8)
        elif i >= 8:
            drums(bar, "half", crash=i == 8)
        if i == 15:
            tom_fill(bar, 10)
        bassline(bar, chord, "long" if i < 8 else "pulse", v=48)
        if i < 8:
            pad_fade(bar, chord, 22, 44)  # swelling chords while the beat is away
        else:
            pad(bar, chord, 38)

    bars = section(chords, build)
    with_lead(bars, melody_bars(THEME_D, v=38, sample="soft"), 0)
    return with_lead(bars, melody_bars(THEME_D, v=40, vibrato=0x55), 8)


def julia_big():
    chords = ["Am", "G", "F", "E"] * 4

    def build(bar, i, chord):
        drums(bar, "beat4", crash=i in (0, 8), i=i)
        if i == 7:
            tom_fill(bar, 8)
        if i == 15:
            snare_roll(bar, 8, 24, 60)
        bassline(bar, chord, "roll", v=46)
        pad(bar, chord, 36, gate=GATE)

    bars = section(chords, build)
    with_lead(bars, melody_bars(THEME_C, v=38), 0)
    return with_lead(bars, melody_bars(THEME_C, v=40), 8)


def plasma_face():
    chords = ["Am", "F", "C", "G"] * 4 + ["Am", "F", "C", "G"] * 4

    def build(bar, i, chord):
        semis = 2 if i >= 16 else 0  # lift to B minor for the second half
        if i < 4:
            drums(bar, "half", crash=i == 0)
        elif i < 16:
            drums(bar, "beat1", crash=i in (4, 8), i=i)
        else:
            drums(bar, "beat2", crash=i in (16, 24), i=i)
        if i in (7, 23):
            tom_fill(bar, 8)
        if i == 15:
            snare_roll(bar, 8, 24, 60)
        if i == 31:
            tom_fill(bar, 10)
        bassline(bar, chord, "pulse" if i < 4 else "drive" if i < 16 else "octaves", v=50, semis=semis)
        if i < 8:
            arpeggio(bar, chord, "eighth", v=40)
        else:
            pad(bar, chord, 32, semis=semis, gate=GATE if i >= 24 else None)

    bars = section(chords, build)
    with_lead(bars, melody_bars(THEME_A, v=40), 8)
    with_lead(bars, melody_bars(THEME_A, v=40, semis=2), 16)
    return with_lead(bars, melody_bars(THEME_A2, v=42, semis=2, vibrato=0x56), 24)


def plasma_cube():
    chords = ["Am", "F", "C", "G", "Am", "F", "G", "E"]

    def build(bar, i, chord):
        drums(bar, "offhat" if i < 4 else "beat2", crash=i in (0, 4), i=i)
        if i == 7:
            snare_roll(bar, 0, 16, 60)
        bassline(bar, chord, "roll", v=48)
        arpeggio(bar, chord, "skip", v=38)

    return with_lead(section(chords, build), melody_bars(RISE, v=36, vibrato=0x66), 4)


def water():
    chords = ["Am", "F", "C", "G"] * 3 + ["F", "E", "Am", "Am"]

    def build(bar, i, chord):
        if i < 8:
            drums(bar, "beat1", crash=i == 0, i=i)
        elif i < 12:
            drums(bar, "hats", gain=0.7)
        elif i == 14:
            drums(bar, "X...............")
        if i == 7:
            tom_fill(bar, 10)
        if i < 14:
            bassline(bar, chord, "drive" if i < 8 else "long", v=48 if i < 8 else 42)
            pad(bar, chord, 32)
        elif i == 14:
            bassline(bar, chord, "long", v=46)
            pad_fade(bar, chord, 36, 26)
        else:
            bar.put(0, BASS, effect=vol(28))
            for row in range(1, ROWS_PER_BAR):
                bar.put(row, BASS, effect=vol(28 - 28 * row / (ROWS_PER_BAR - 1)))
            for row in range(ROWS_PER_BAR):
                bar.put(row, CHORD, effect=vol(24 - 24 * row / (ROWS_PER_BAR - 1)))

    bars = section(chords, build)
    with_lead(bars, melody_bars(THEME_A, v=38), 0)
    with_lead(bars, melody_bars(OUTRO_LEAD, v=34, sample="soft"), 8)
    with_lead(bars, melody_bars("C5:16 | B4:8 G#4:8 | A4:16", v=38, vibrato=0x34, sample="soft"), 12)
    for row in range(ROWS_PER_BAR):  # the last A4 dies away with the chord
        bars[15].put(row, LEAD, effect=vol(30 - 30 * row / (ROWS_PER_BAR - 1)))
    return bars


SECTIONS = [("intro", intro), ("stars", stars), ("tunnel", tunnel), ("julia", julia_in),
            ("julia+balls", julia_big), ("plasma face", plasma_face), ("plasma cube", plasma_cube),
            ("water", water)]


# --- module file -------------------------------------------------------------------------

def to_bytes(data):
    out = bytearray()
    for v in data:
        s = int(round(v * 127.0))
        out.append(max(-128, min(127, s)) & 0xFF)
    if len(out) & 1:
        out.append(0)
    out[0:2] = b"\0\0"  # ProTracker plays the first word as the silent loop for one-shots
    return bytes(out)


def write_module(path, bars, samples):
    rows = [row for bar in bars for row in bar.rows]
    # Tempo on the very first row (speed stays at ProTracker's default of 6).
    free = next(ch for ch in range(4) if rows[0][ch].effect == 0 and rows[0][ch].param == 0)
    rows[0][free].effect, rows[0][free].param = 0xF, BPM
    if len(rows) % 64:
        raise ValueError("the song must fill whole patterns")
    patterns = []
    order = []
    for start in range(0, len(rows), 64):
        blob = b"".join(cell.pack() for row in rows[start:start + 64] for cell in row)
        if blob not in patterns:
            patterns.append(blob)
        order.append(patterns.index(blob))
    if len(patterns) > 64 or len(order) > 128:
        raise ValueError("too many patterns for M.K.")

    header = bytearray(b"velkantoria".ljust(20, b"\0"))
    sample_data = []
    for i in range(31):
        if i < len(SAMPLE_ORDER):
            s = samples[SAMPLE_ORDER[i]]
            data = to_bytes(s.data)
            if len(data) > 131070:
                raise ValueError(f"sample {s.name} too long")
            if s.loop_len:
                loop_start, loop_len = s.loop_start // 2, s.loop_len // 2
            else:
                loop_start, loop_len = 0, 1
            header += s.name.encode("ascii")[:22].ljust(22, b"\0")
            header += struct.pack(">HBBHH", len(data) // 2, 0, s.volume, loop_start, loop_len)
            sample_data.append(data)
        else:
            header += b"\0" * 22 + struct.pack(">HBBHH", 0, 0, 0, 0, 1)
    header += bytes([len(order), 127]) + bytes(order).ljust(128, b"\0") + b"M.K."
    with open(path, "wb") as f:
        f.write(header)
        for blob in patterns:
            f.write(blob)
        for data in sample_data:
            f.write(data)
    return len(patterns), len(order)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "assets", "velkantoria.mod")
    samples = synth.make_samples()
    bars = []
    seconds = ROWS_PER_BAR * 6 * 2.5 / BPM
    for name, build in SECTIONS:
        part = build()
        # A section whose lead enters late must not inherit the last held note of the one before.
        first = part[0].rows[0][LEAD]
        if first.note is None and first.effect == 0:
            part[0].put(0, LEAD, effect=vol(0))
        print(f"{name:12s} bars {len(bars):3d}-{len(bars) + len(part) - 1:3d}  starts {len(bars) * seconds:6.1f} s")
        bars += part
    n_patterns, n_orders = write_module(out, bars, samples)
    print(f"{len(bars)} bars, {n_patterns} patterns, {n_orders} orders, {len(bars) * seconds:.1f} s -> {out}")


if __name__ == "__main__":
    main()
