"""The logo's sound effect, the role's and the menus' sounds and the music."""
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


def tone(freqs, seconds=0.15, rate=22050):
    """A short tone gliding through the given frequencies."""
    n = int(seconds * rate)
    out = []
    phase = 0.0
    for i in range(n):
        f = freqs[min(len(freqs) - 1, i * len(freqs) // n)]
        phase += 2 * math.pi * f / rate
        out.append(0.4 * math.exp(-4 * i / n) * math.sin(phase))
    return out


def generate(root):
    wav = root / "Resource" / "wav"
    write_wav(wav / "logo.wav", chime())
    # The role's footstep, level-up and death.
    write_wav(wav / "footstep.wav", tone([110], 0.06))
    write_wav(wav / "levelup.wav", tone([523, 659, 784, 1047], 0.4))
    write_wav(wav / "roledie.wav", tone([392, 330, 262, 196], 0.6))
    # UI frames opening and closing.
    write_wav(wav / "openmenu.wav", tone([660, 880], 0.08))
    write_wav(wav / "closemenu.wav", tone([880, 660], 0.08))
    write_midi(root / "Resource" / "mid" / "roledie.mid", [(57, 96), (53, 96), (50, 192)], program=19)
    # About two seconds at 120 beats a minute: a rising phrase and its answer.
    eighth = 48
    melody = [60, 64, 67, 72, 71, 67, 64, 62]
    write_midi(root / "Resource" / "mid" / "title.mid", [(note, eighth) for note in melody] + [(60, eighth * 2)],
               program=48)
