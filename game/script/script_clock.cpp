// Clock scripts, started in turn by the interpreter itself while no other
// script runs, and the commands that manage script state.
#include <algorithm>

#include "core/alert.h"
#include "script.h"

// The next clock script to run and the timer between turns.
int32_t g_ClockIndex = 0;
int32_t g_ClockTimerStart = 0;
int32_t g_ClockTimerArmed = 0;

void script::ClockTurn()
{
    if (clockEnabled == 0)
        return;
    if (!IntervalElapsed(&g_ClockTimerStart, &g_ClockTimerArmed, static_cast<uint32_t>(std::max(clockInterval, 0))))
        return;
    if (running == 0 && !clockScripts.empty()) {
        // The list may have become shorter since the index was set.
        const int32_t count = static_cast<int32_t>(clockScripts.size());
        if (g_ClockIndex < 0 || g_ClockIndex >= count)
            g_ClockIndex = 0;
        if (OpenScript(clockScripts[static_cast<size_t>(g_ClockIndex)]) == 1)
            g_ClockIndex = g_ClockIndex < count - 1 ? g_ClockIndex + 1 : 0;
    }
    g_ClockTimerArmed = 0;
}

void script::CloseClockScript()
{
    const std::string name = ArgQuoted();
    clockEnabled = 0;
    const auto it = std::find(clockScripts.begin(), clockScripts.end(), name);
    if (it != clockScripts.end())
        clockScripts.erase(it);
    SkipLine(file);
}

void script::OpenClockScript()
{
    const std::string name = ArgQuoted();
    clockEnabled = 1;
    clockScripts.push_back(name);
    SkipLine(file);
}

void script::KillSVar()
{
    const std::string name = ArgQuoted();
    const int32_t i = LookupVariable(name, 1);
    if (i >= 0) {
        staticTypes.erase(staticTypes.begin() + i);
        staticNames.erase(staticNames.begin() + i);
        staticValues.erase(staticValues.begin() + i);
    }
    SkipLine(file);
}

void script::FindVar()
{
    const std::string name = ArgQuoted();
    if (LookupVariable(name, 0) >= 0) {
        SkipLine(file);
        return;
    }
    // Not set yet: the next step runs this statement again.
    waitEnd = TellFile();
    playerWaitStep = 1;
    SeekFile(statementStart);
}
