#pragma once
// Helpers for tests that drive the game on the headless backend.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/headless/headless.h"

namespace tevtest {

// Installs a fresh headless platform rooted at `root` and returns it.
plat::headless::HeadlessPlatform& InstallHeadless(plat::headless::Options opts = {});
plat::headless::HeadlessPlatform& Headless();

// A new empty folder under the test temp dir.
std::filesystem::path TempDir(const std::string& name);
void WriteFile(const std::filesystem::path& p, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& p);
std::vector<std::string> ReadLines(const std::filesystem::path& p);

// A FILE* over bytes (a temporary file, so seeking works like a real one).
FILE* MemFile(const std::string& bytes);
// A short piece of MIDI music that the game's music check takes: one track,
// one note held a quarter note.
std::string Midi();

// UTF-8 literal to the GBK bytes the game keeps.
std::string G(const char* utf8);

} // namespace tevtest
