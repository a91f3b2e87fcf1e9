// Presentation and flow commands. Not built yet: each reads its arguments
// and goes on with the next line; the four that keep their keyword while
// they run finish at once.
#include "script.h"

void script::ExitGame() { SkipLine(file); }

void script::SaveGame()
{
    ArgUpTo(')');
    SkipLine(file);
}

void script::LoadGame()
{
    ArgUpTo(')');
    SkipLine(file);
}

void script::PauseMidi() { SkipLine(file); }

void script::ResumeMidi() { SkipLine(file); }

void script::KeyTable()
{
    ArgUpTo(',');
    ArgUpTo(')');
    SkipLine(file);
}

void script::LaunchTitle() { SkipLine(file); }

void script::ShowTextAtOnce()
{
    ArgQuoted();
    SkipLine(file);
}

void script::LaunchGame() { SkipLine(file); }

void script::LoadUIFrame()
{
    ArgQuoted();
    SkipLine(file);
}

void script::UnloadUIFrame()
{
    ArgQuoted();
    SkipLine(file);
}

void script::debug()
{
    ArgQuoted();
    SkipLine(file);
}

void script::StopMidi() { SkipLine(file); }

void script::PlayMidi()
{
    ArgQuoted();
    SkipLine(file);
}

void script::StopWave()
{
    ArgQuoted();
    SkipLine(file);
}

void script::PlayWave()
{
    ArgQuoted();
    SkipLine(file);
}

void script::SetScreenBlack()
{
    ArgUpTo(')');
    SkipLine(file);
}

void script::FadeIn()
{
    ArgUpTo(')');
    readNext = 1;
    SkipLine(file);
}

void script::FadeOut()
{
    ArgUpTo(')');
    readNext = 1;
    SkipLine(file);
}

void script::DelayTime()
{
    ArgUpTo(')');
    SkipLine(file);
}

void script::MoveMap()
{
    ArgUpTo(',');
    ArgUpTo(',');
    ArgUpTo(')');
    readNext = 1;
    SkipLine(file);
}

void script::MoveMapTo()
{
    ArgUpTo(',');
    ArgUpTo(',');
    ArgUpTo(')');
    readNext = 1;
    SkipLine(file);
}

void script::LockKeyMouse() { SkipLine(file); }

void script::UnlockKeyMouse() { SkipLine(file); }
