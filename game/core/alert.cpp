#include "alert.h"

#include <set>

#include "platform/platform.h"
#include "upcalls.h"

int IntervalElapsed(int32_t* start, int32_t* armed, uint32_t interval)
{
    if (*armed == -1)
        return 0;
    if (*start == 0) {
        *start = 1;
        return 1;
    }
    if (*armed == 0) {
        *start = static_cast<int32_t>(plat::P().clock().Ticks());
        *armed = 1;
    }
    const uint32_t now = plat::P().clock().Ticks();
    // Elapsed time in wrapping arithmetic, so the tick count's wrap after
    // 49.7 days cannot stall a timer.
    return static_cast<uint32_t>(now - static_cast<uint32_t>(*start)) >= interval ? 1 : 0;
}

namespace {
// Never destroyed: the destructors of the global objects still report.
std::set<std::string>& ShownTexts()
{
    static auto* shown = new std::set<std::string>;
    return *shown;
}

void Report(const std::string& text)
{
    plat::P().dialogs().DebugOutput(text);
    // A report raised every frame must not bury the game under boxes.
    if (!ShownTexts().insert(text).second)
        return;
    ShowMessageBox(text.c_str(), "");
}
} // namespace

void ResetAlertHistory() { ShownTexts().clear(); }

void ShowMessageBox(const char* textGbk, const char* captionGbk)
{
    const bool focusDance = InputInitialised();
    plat::Dialogs& dialogs = plat::P().dialogs();
    if (focusDance) {
        dialogs.SetBoxFocusTraces(true);
        Upcall<WindowActivation>::Get().Activated(false);
        dialogs.SetBoxFocusTraces(false);
    }
    dialogs.MessageBox(textGbk, captionGbk);
    if (focusDance) {
        dialogs.SetBoxFocusTraces(true);
        Upcall<WindowActivation>::Get().Activated(true);
        dialogs.SetBoxFocusTraces(false);
        // The box's own focus changes were just emulated; drop the real ones.
        plat::P().FlushFocusMessages();
    }
}

void Alert(const char* text)
{
    if (!text || text[0] == '~')
        return;
    Report(text);
}

void AlertStr(const std::string& text)
{
    if (!text.empty() && text[0] == '~')
        return;
    Report(text);
}

void AlertInt(int32_t value) { Report(std::to_string(value)); }

void SetDebugLineNum(int32_t value, int32_t line) { SetDebugLineStr(std::to_string(value), line); }

void SetDebugLineStr(const std::string& text, int32_t line)
{
    if (line >= 0 && line < static_cast<int32_t>(g_DebugLines.size()) && line < 20)
        g_DebugLines[static_cast<size_t>(line)] = text;
}
