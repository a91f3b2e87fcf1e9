#pragma once
// The game's globals on a headless platform over the demo folder, with the
// built-in pictures loaded; once per process.
#include <memory>

#include "app/globals.h"
#include "platform/headless/headless.h"

inline void SetUpGame()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    plat::headless::Options o;
    o.root = TEV_DEMO_DIR;
    o.echoStderr = false;
    g_PlatformHolder.Install(std::make_unique<plat::headless::HeadlessPlatform>(o));
    g_Graph.LoadResourcePictures();
}

// The role in the middle of the 150x150 map "large", the view centred on it.
inline void PlaceRoleMidLarge()
{
    g_Role.x = 2400;
    g_Role.y = 2400;
    g_Role.viewX = 296.5f;
    g_Role.viewY = 160.5f;
}
