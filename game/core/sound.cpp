#include "sound.h"

#include "alert.h"
#include "platform/platform.h"

sound::~sound()
{
    Alert("~sound");
}

void sound::Init()
{
    plat::P().audio().Open();
    plat::P().audio().InitMusic();
}

void sound::PlayWave(const std::string& name) { plat::P().Trace("sound play " + name); }

void sound::StopWave(const std::string& name) { plat::P().Trace("sound stop " + name); }

void sound::CleanupWaves() {}

void sound::ReleaseAllWaves() { plat::P().Trace("sound release-all"); }

void sound::PlayMidi(const std::string& name)
{
    midiName = name;
    plat::P().Trace("midi load " + name);
    plat::P().Trace("midi run " + name);
}

void sound::StopMidi() { plat::P().Trace("midi stop " + midiName); }

void sound::PauseMidi() { plat::P().Trace("midi pause " + midiName); }

void sound::ResumeMidi() { plat::P().Trace("midi resume " + midiName); }

void sound::PollMidi() {}
