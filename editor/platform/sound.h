#pragma once
// Listening to a sound effect in the editor. The editor plays through one
// replaceable object, so tests can record what would be heard without
// starting the system's media back end.
#include <QString>

class QSoundEffect;

namespace fr {

// Checks that `path` names a WAVE file the game will play: it exists, is
// not larger than the editor plays (64 MB), and the game's WAVE reader takes
// it (PCM of 8 or 16 bits, one or two channels, a block size that fits
// them, a data chunk with samples). False otherwise, with the reason in
// `error` (Chinese, naming the file, with the game's own message when its
// reader refuses the file).
bool checkWaveFile(const QString& path, QString& error);

class SoundPreview {
public:
    virtual ~SoundPreview() = default;
    // Starts playing the file (a checked WAVE file); returns at once.
    virtual void play(const QString& path) = 0;
};

// The preview in use (the system's sound unless replaced).
SoundPreview& soundPreview();
// Replaces it; nullptr goes back to the system's.
void setSoundPreview(SoundPreview* p);

// Plays through the sound server (PulseAudio, or PipeWire's PulseAudio
// service). The player is made at the first play, so a run that never plays
// never starts the media back end. When the file can't be played, or there
// is no sound output, a message box says so.
class QtSoundPreview : public SoundPreview {
public:
    void play(const QString& path) override;

private:
    QSoundEffect* effect_ = nullptr;
};

} // namespace fr
