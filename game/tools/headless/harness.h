#pragma once
// The headless harness: the game on the headless backend, driven by options.
// Its options are the project's stable test interface.
#include <string>
#include <vector>

#include "platform/headless/headless.h"

namespace harness {

struct Config {
    plat::headless::Options platform;
    std::string font = "box";
    std::string map; // --map: the map (UTF-8 name) to start in, in the in-game state
    // Scripts run to their end before the first pass, in order (UTF-8 names).
    std::vector<std::string> scripts;
    // A script opened before the first pass; the main loop steps it.
    std::string openScript;
    // Where the script variables are written after the passes.
    std::filesystem::path dumpVars;
    std::filesystem::path saveInput; // the input's save record, written at the end
    std::vector<std::string> inputFails; // input set-up steps that fail

};

// Parses the command line; false with a message in *error for bad options.
bool ParseArgs(const std::vector<std::string>& args, Config* cfg, std::string* error);
std::string Usage();

// Runs the game; the exit code of the process.
int Run(const Config& cfg);

} // namespace harness
