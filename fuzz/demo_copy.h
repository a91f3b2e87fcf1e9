#pragma once
#include <filesystem>

namespace fuzzdemo {

// A copy of the demo folder (TEV_FUZZ_DEMO_DIR, else the build's own) in a
// new temporary folder, removed when the process exits. The big timing maps
// are left out. Aborts when there is no demo folder to copy.
std::filesystem::path CopyDemoFolder();

} // namespace fuzzdemo
