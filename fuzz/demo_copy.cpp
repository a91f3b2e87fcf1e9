#include "demo_copy.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace fuzzdemo {
namespace {

std::filesystem::path g_copy;

void RemoveCopy()
{
    std::error_code ec;
    std::filesystem::remove_all(g_copy, ec);
}

} // namespace

std::filesystem::path CopyDemoFolder()
{
    const char* env = std::getenv("TEV_FUZZ_DEMO_DIR");
    const std::filesystem::path demo = env && *env ? env : TEV_DEMO_DIR;
    if (!std::filesystem::is_directory(demo)) {
        std::fprintf(stderr, "fuzz: no demo folder at %s (build the \"demo\" target)\n", demo.c_str());
        std::abort();
    }
    std::string tmpl = (std::filesystem::temp_directory_path() / "tevfuzz-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) {
        std::perror("fuzz: mkdtemp");
        std::abort();
    }
    g_copy = tmpl;
    std::atexit(RemoveCopy);
    // The editor's folder holds a link to the built editor: copied as a link.
    std::filesystem::copy(demo, g_copy,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
    for (const char* big : {"Map/huge.jmap", "Map/large.jmap"})
        std::filesystem::remove(g_copy / big);
    std::filesystem::create_directories(g_copy / "Save");
    return g_copy;
}

} // namespace fuzzdemo
