#pragma once
#include <string>
#include <string_view>

#include "surface.h"

namespace plat {

// The window and the screen. The game paints into memory surfaces; the
// display only shows a finished 640x480 RGB565 frame.
class Display {
public:
    virtual ~Display() = default;

    // The popup window at (x,y); false when no window can be made.
    virtual bool CreateWindow(std::string_view titleGbk, int x, int y, int w, int h) = 0;
    virtual void Show() = 0;

    // Desktop colour depth and its switch. The game paints 16-bit colour in
    // memory whatever the desktop holds, so a real display reports 16.
    virtual int DesktopDepth() = 0;
    virtual bool SetDesktopDepth(int depth) = 0;
    virtual void ResetDisplaySettings() = 0;

    // The steps of bringing the display up; each returns false on failure.
    virtual bool CreateDevice() = 0;               // renderer
    virtual bool SetCooperation(bool fullscreen) = 0;
    virtual bool SetFullscreenMode() = 0;          // 640x480 filling the screen
    virtual bool CreatePrimary(bool fullscreen) = 0; // the streaming texture
    virtual bool AttachBackBuffer() = 0;

    // Shows a frame, paced to 60 Hz. kOk, kErrSurfaceLost when the device
    // was reset, kErrNoObject when the display never came up.
    virtual int Present(const Surface& frame) = 0;
    // Re-creates what a lost device took; true when the display is usable.
    virtual bool Restore() = 0;
    virtual void LeaveFullscreen() = 0;

    // Window state as the main loop polls it.
    virtual bool IsActive() = 0;
    virtual Point SystemCursor() = 0;
    virtual void WarpSystemCursor(Point p) = 0;
};

} // namespace plat
