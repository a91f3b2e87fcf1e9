#include "platform.h"

#include <cstdio>
#include <cstdlib>

namespace plat {
namespace {
Platform* g_current = nullptr;
}

Platform& P()
{
    if (!g_current) {
        std::fputs("tevlegend: no platform installed\n", stderr);
        std::abort();
    }
    return *g_current;
}

bool PlatformInstalled() { return g_current != nullptr; }

PlatformHolder::~PlatformHolder() { Reset(); }

void PlatformHolder::Install(std::unique_ptr<Platform> platform)
{
    Reset();
    platform_ = std::move(platform);
    g_current = platform_.get();
}

void PlatformHolder::Reset()
{
    if (platform_) {
        platform_.reset();
        g_current = nullptr;
    }
}

} // namespace plat
