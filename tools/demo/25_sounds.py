"""The logo's sound effect and the title music."""
import math

from demofiles import write_midi, write_wav


def chime(seconds=0.3, rate=22050):
    """Two bell-like partials that die away."""
    n = int(seconds * rate)
    out = []
    for i in range(n):
        t = i / rate
        decay = math.exp(-8 * t)
        out.append(0.5 * decay * (math.sin(2 * math.pi * 880 * t) + 0.5 * math.sin(2 * math.pi * 1320 * t)) / 1.5)
    return out


def generate(root):
    write_wav(root / "Resource" / "wav" / "logo.wav", chime())
    # About two seconds at 120 beats a minute: a rising phrase and its answer.
    eighth = 48
    melody = [60, 64, 67, 72, 71, 67, 64, 62]
    write_midi(root / "Resource" / "mid" / "title.mid", [(note, eighth) for note in melody] + [(60, eighth * 2)],
               program=48)
