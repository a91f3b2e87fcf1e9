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


def noise_burst(seconds=0.2, rate=22050, seed=3, low=0.7, pitch=0):
    """A filtered noise burst that dies away, with an optional falling tone
    under it: hits, thuds and crashes."""
    import random
    rnd = random.Random(seed)
    n = int(seconds * rate)
    out = []
    smooth = 0.0
    for i in range(n):
        t = i / n
        smooth = low * smooth + (1 - low) * (rnd.random() * 2 - 1)
        v = smooth * 1.6
        if pitch:
            v = 0.6 * v + 0.5 * math.sin(2 * math.pi * pitch * (1 - 0.5 * t) * i / rate)
        out.append(0.7 * math.exp(-5 * t) * v)
    return out


def phrase(notes, beat=48):
    """(note, beats) pairs, beats in eighths, 0 a rest."""
    return [(note, int(length * beat)) for note, length in notes]


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
    # Blows: a monster hits the role, the role hits a monster.
    write_wav(wav / "rolehitted.wav", noise_burst(0.18, seed=5, low=0.85, pitch=140))
    write_wav(wav / "firehit.wav", noise_burst(0.12, seed=9, low=0.5, pitch=320))
    # An item given to the role, and the monsters' deaths.
    write_wav(wav / "getitem.wav", tone([784, 988, 1175, 1568], 0.35))
    write_wav(wav / "slimedie.wav", tone([300, 220, 150], 0.25))
    write_wav(wav / "batdie.wav", tone([1400, 1100, 800], 0.2))
    write_wav(wav / "demondie.wav", noise_burst(0.9, seed=11, low=0.92, pitch=70))
    write_midi(root / "Resource" / "mid" / "roledie.mid", [(57, 96), (53, 96), (50, 192)], program=19)
    # About two seconds at 120 beats a minute: a rising phrase and its answer.
    eighth = 48
    melody = [60, 64, 67, 72, 71, 67, 64, 62]
    write_midi(root / "Resource" / "mid" / "title.mid", [(note, eighth) for note in melody] + [(60, eighth * 2)],
               program=48)
    mid = root / "Resource" / "mid"
    # The village: a calm tune on a flute; the field: a brisker one on strings.
    write_midi(mid / "village.mid", phrase([(67, 2), (69, 1), (71, 1), (74, 2), (71, 2), (69, 2), (67, 1), (64, 1),
                                            (62, 4), (64, 2), (67, 2), (69, 2), (71, 1), (69, 1), (67, 6), (0, 2)]),
               program=73)
    write_midi(mid / "field.mid", phrase([(57, 1), (60, 1), (64, 1), (69, 1), (67, 2), (64, 2), (62, 1), (64, 1),
                                          (65, 2), (64, 2), (60, 2), (57, 1), (59, 1), (60, 1), (62, 1), (64, 4),
                                          (0, 2)]), tempo_us=400000, program=48)
    # The end of the story.
    write_midi(mid / "ending.mid", phrase([(72, 2), (71, 2), (69, 2), (67, 2), (65, 2), (64, 2), (62, 2), (60, 6),
                                           (0, 2)]), tempo_us=600000, program=0)
