#pragma once
#include <memory>

#include "../platform.h"

namespace plat::sdl {

// The platform on SDL2: a real window, keyboard and mouse, SDL_mixer audio.
std::unique_ptr<Platform> MakeSdlPlatform();

} // namespace plat::sdl
