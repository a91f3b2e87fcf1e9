#pragma once
// The game as the fuzz targets drive it: started once on the headless
// backend in a private copy of the demo folder, in play on the demo map.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace fuzzgame {

// The game folder: a private copy of the demo folder (see demo_copy.h).
const std::filesystem::path& Folder();

// Starts the game the way the headless harness does (start-up, then play on
// the demo map) unless it runs already.
void Start();

// Writes a file of the game folder (a relative name, '/' or '\' between
// its parts) and lets the game see it.
void WriteGameFile(const std::string& relative, const uint8_t* data, size_t size);

// Puts the game back where every input starts: in play on the demo map with
// the role as start-up left it, the frame "main_frame" alone on the stack, no
// script running, the clock scripts start-up opened, no actors, and no
// reports remembered.
void Baseline();

// Passes of the main loop, each ending as the loop ends one: time moves on
// and the window's messages are taken.
void Passes(int count);

} // namespace fuzzgame
