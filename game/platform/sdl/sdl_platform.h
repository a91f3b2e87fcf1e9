#pragma once
#include <memory>

#include "../platform.h"

namespace plat::sdl {

// The platform on SDL2: a real window, keyboard and mouse, SDL_mixer audio.
std::unique_ptr<Platform> MakeSdlPlatform();

// The SDL_mixer audio on its own (tests of the real audio path).
std::unique_ptr<Audio> MakeSdlAudio();

} // namespace plat::sdl
