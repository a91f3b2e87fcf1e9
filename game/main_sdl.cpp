// The game on a real window. It reads no arguments and no environment.
#include "app/globals.h"
#include "app/winmain.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_platform.h"

int main()
{
    g_PlatformHolder.Install(plat::sdl::MakeSdlPlatform());
    return WinMain(nullptr, nullptr, "", 1);
}
