// Clock scripts and the script-state commands. Not built yet: the clock
// turn does nothing, and each command reads its name and goes on with the
// next line.
#include "script.h"

void script::ClockTurn() {}

void script::CloseClockScript()
{
    ArgQuoted();
    SkipLine(file);
}

void script::OpenClockScript()
{
    ArgQuoted();
    SkipLine(file);
}

void script::KillSVar()
{
    ArgQuoted();
    SkipLine(file);
}

void script::FindVar()
{
    ArgQuoted();
    SkipLine(file);
}
