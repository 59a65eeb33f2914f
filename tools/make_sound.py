#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the sound played after each computer move, window/sounds/move.wav.

    tools/make_sound.py

A short chime: a 880 Hz tone with a quieter octave above it, struck at once and dying away
exponentially, 16-bit mono PCM at 22050 Hz, about a fifth of a second. The output depends on
nothing but this script, so running it again gives the same bytes. Only the Python standard
library is used.
"""

import math
import os
import struct
import wave

RATE = 22050
DURATION = 0.2      # seconds
ATTACK = 0.004      # seconds of fade-in, so that the start does not click
DECAY = 0.05        # seconds for the loudness to fall to 1/e
PARTIALS = ((880.0, 1.0), (1760.0, 0.35), (2640.0, 0.1))  # frequency, relative amplitude
PEAK = 0.45         # of full scale: a signal, not an alarm


def samples():
    total = sum(a for _, a in PARTIALS)
    count = int(RATE * DURATION)
    for n in range(count):
        t = n / RATE
        envelope = min(1.0, t / ATTACK) * math.exp(-t / DECAY)
        # The last few milliseconds fade to silence, so the end does not click either.
        envelope *= min(1.0, (count - 1 - n) / (RATE * ATTACK))
        value = sum(a * math.sin(2 * math.pi * f * t) for f, a in PARTIALS) / total
        yield round(32767 * PEAK * envelope * value)


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "window", "sounds",
                       "move.wav")
    frames = b"".join(struct.pack("<h", s) for s in samples())
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)
    print(f"wrote {os.path.normpath(out)}: {len(frames) // 2} samples")


if __name__ == "__main__":
    main()
